// The display-mode switches of the Linux program: which command lines make it an
// XScreenSaver display mode, which window it then draws into, and its lock.
#include <gtest/gtest.h>

#include "platform/qt/display_mode.h"

namespace velun::qt {
namespace {

using Arguments = std::vector<std::string>;

std::optional<DisplayModeStart> Parse(const Arguments& arguments, const char* environment,
                                      std::string* error = nullptr) {
  return ParseDisplayModeStart(arguments, environment, error);
}

TEST(DisplayModeTest, RootDrawsIntoXScreenSaversWindowWhenItGaveOneElseOnTheRoot) {
  for (const char* root : {"-root", "--root"}) {
    auto start = Parse({root}, "0x1c00007");
    ASSERT_TRUE(start) << root;
    EXPECT_FALSE(start->rootWindow);
    EXPECT_EQ(start->window, 0x1c00007u);
    start = Parse({root}, nullptr);
    ASSERT_TRUE(start);
    EXPECT_TRUE(start->rootWindow);
    start = Parse({root}, "");  // set but empty counts as unset
    ASSERT_TRUE(start);
    EXPECT_TRUE(start->rootWindow);
  }
  // The window XScreenSaver names alone, with nothing on the command line.
  auto start = Parse({}, "29360135");
  ASSERT_TRUE(start);
  EXPECT_EQ(start->window, 29360135u);
  EXPECT_FALSE(Parse({}, nullptr));
}

TEST(DisplayModeTest, WindowIdSwitchTakesDecimalOrHexadecimalAndBeatsTheEnvironment) {
  for (const Arguments& arguments :
       {Arguments{"-window-id", "0x400008"}, Arguments{"--window-id", "4194312"},
        Arguments{"-window-id=0X400008"}, Arguments{"--window-id=4194312"},
        Arguments{"-root", "-window-id", "0x400008"}}) {
    const auto start = Parse(arguments, "0x1c00007");
    ASSERT_TRUE(start) << arguments[0];
    EXPECT_FALSE(start->rootWindow);
    EXPECT_EQ(start->window, 0x400008u) << arguments[0];
  }
}

TEST(DisplayModeTest, OtherCommandLinesGoToTheCoreUnchangedAndBadIdsSayWhy) {
  // The core's own switches and anything else are not display modes, whatever the
  // environment holds.
  for (const Arguments& arguments :
       {Arguments{"/S"}, Arguments{"/c"}, Arguments{"--help"}, Arguments{"-root", "/S"},
        Arguments{"-rooted"}, Arguments{"root"}, Arguments{"-root", "-fps"}}) {
    std::string error;
    EXPECT_FALSE(Parse(arguments, "0x400008", &error)) << arguments[0];
    EXPECT_EQ(error, "") << arguments[0];
  }
  for (const Arguments& arguments :
       {Arguments{"-window-id"}, Arguments{"-window-id", "0x"}, Arguments{"-window-id", "0"},
        Arguments{"-window-id", "12ab"}, Arguments{"-window-id", "0x40000000"},
        Arguments{"-window-id", "-5"}, Arguments{"-window-id=", ""},
        Arguments{"-window-id", "99999999999999999999"}}) {
    std::string error;
    EXPECT_FALSE(Parse(arguments, nullptr, &error)) << arguments.back();
    EXPECT_NE(error, "") << arguments.back();
  }
  std::string error;
  EXPECT_FALSE(Parse({"-root"}, "garbage", &error));
  EXPECT_NE(error.find("XSCREENSAVER_WINDOW"), std::string::npos);
  EXPECT_FALSE(Parse({}, "0x", &error));
}

TEST(DisplayModeTest, EachWindowOnEachDisplayHasItsOwnLock) {
  const DisplayModeStart first{false, 0x400008}, second{false, 0x600008}, root{true, 0};
  const std::string a = DisplayModeLockName(first, ":0");
  EXPECT_NE(a, DisplayModeLockName(second, ":0"));  // one display mode per monitor
  EXPECT_NE(a, DisplayModeLockName(first, ":1"));
  EXPECT_NE(a, DisplayModeLockName(root, ":0"));
  EXPECT_NE(a, "velun-saver");  // not the full-screen saver's lock
  EXPECT_EQ(a, DisplayModeLockName(first, ":0"));
  // The name stays one file name, whatever $DISPLAY holds.
  EXPECT_EQ(DisplayModeLockName(first, "unix/host:0.0").find('/'), std::string::npos);
}

}  // namespace
}  // namespace velun::qt
