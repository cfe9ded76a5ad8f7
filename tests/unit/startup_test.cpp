#include <gtest/gtest.h>

#include "fakes/fake_system.h"
#include "startup/main.h"

namespace velun {
namespace {

TEST(ModeSwitch, Placeholder) { EXPECT_EQ(ModeSwitch(""), "/S"); }

}  // namespace
}  // namespace velun
