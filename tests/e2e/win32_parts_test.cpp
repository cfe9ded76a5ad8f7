// The Windows front end's plain parts, checked on the build machine: the argument
// text of a command line and which monitors get a black cover (Wine here shows one
// monitor only, so this is where the monitor handling is proven).
#include <gtest/gtest.h>

#include "platform/win32/command_line.h"
#include "platform/win32/monitor_layout.h"

namespace velun::win32 {
namespace {

TEST(CommandLine, TheProgramNameAndOneSeparatingBlankAreTakenOff) {
  EXPECT_EQ(ArgumentTextOf(L"velun.scr /S"), L"/S");
  EXPECT_EQ(ArgumentTextOf(L"\"C:\\My Savers\\velun.scr\" /c:1234"), L"/c:1234");
  EXPECT_EQ(ArgumentTextOf(L"\"C:\\My Savers\\velun.scr\""), L"");
  EXPECT_EQ(ArgumentTextOf(L"C:\\velun.scr"), L"");
  EXPECT_EQ(ArgumentTextOf(L"velun.scr "), L"");
  // A second blank is the argument's own: the switch " /" matches nothing.
  EXPECT_EQ(ArgumentTextOf(L"\"C:\\velun.scr\"  /s"), L" /s");
  EXPECT_EQ(ArgumentTextOf(L"velun.scr\t/p 123"), L"/p 123");
  // A name with an unclosed quote is all name.
  EXPECT_EQ(ArgumentTextOf(L"\"C:\\velun.scr /s"), L"");
}

TEST(MonitorCovers, EveryMonitorButThePrimaryOneIsCoveredOnce) {
  const MonitorArea primary{0, 0, 1920, 1080, true};
  const MonitorArea left{-1280, 100, 0, 1124, false};
  const MonitorArea above{0, -900, 1600, 0, false};

  EXPECT_TRUE(CoverAreas({primary}).empty());
  EXPECT_EQ(CoverAreas({left, primary, above}), (std::vector<MonitorArea>{left, above}));
  // A mirror of the primary monitor shows the saver window already; a monitor
  // listed twice gets one cover; an empty area none.
  const MonitorArea mirror{0, 0, 1920, 1080, false};
  const MonitorArea empty{1920, 0, 1920, 1080, false};
  EXPECT_EQ(CoverAreas({primary, mirror, left, left, empty}), (std::vector<MonitorArea>{left}));
  // Without a primary monitor in the list, every monitor is covered.
  EXPECT_EQ(CoverAreas({left, above}), (std::vector<MonitorArea>{left, above}));
}

}  // namespace
}  // namespace velun::win32
