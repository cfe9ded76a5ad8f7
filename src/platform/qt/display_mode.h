#pragma once
// The saver as a display mode of XScreenSaver: the switches of X11 screen hacks.
// Implemented:
//  [X] "-root" (or "--root"): draw into the window in $XSCREENSAVER_WINDOW when
//      XScreenSaver set it, else on the root window
//  [X] "-window-id ID" (or "--window-id ID", "-window-id=ID"): draw into window ID,
//      given in decimal or as 0x followed by hexadecimal digits
//  [X] No arguments while $XSCREENSAVER_WINDOW is set: draw into that window
//  [X] The start that the core is given instead: "/S" (its switch table is the same
//      as on Windows); every other command line goes to the core unchanged
//  [X] One saver per window: the instance lock is named after the display and the
//      window, so XScreenSaver's one display mode per monitor all run, while a second
//      saver on the same window ends at once. Those savers all save, at their end,
//      the settings they read at their start, each save whole (the store writes a
//      new file and renames it over the old one)
//  [ ] Other switches of XScreenSaver's own hacks (-fps, -delay, ...) are not taken
// Plain C++ (no Qt, no X11), tested on every build machine.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace velun::qt {

struct DisplayModeStart {
  // Draw on the root window of the default screen instead of a given window.
  bool rootWindow = false;
  std::uint32_t window = 0;  // the X window to draw into, when not the root window
};

// What the command line (without the program's name) and $XSCREENSAVER_WINDOW (null
// when unset) ask for; nothing when they do not ask for a display mode. A display
// mode's switch with a window id that is not one yields nothing, with the reason in
// error (the core then sees the command line unchanged: nothing shown).
std::optional<DisplayModeStart> ParseDisplayModeStart(const std::vector<std::string>& arguments,
                                                      const char* xscreensaverWindow,
                                                      std::string* error = nullptr);

// An X window id as XScreenSaver writes it: decimal, or 0x and hexadecimal digits.
std::optional<std::uint32_t> ParseWindowId(const std::string& text);

// The argument text the core is given for a display mode.
inline constexpr char kDisplayModeArgumentText[] = "/S";

// The instance lock's file name for a display mode on the given display ($DISPLAY).
std::string DisplayModeLockName(const DisplayModeStart& start, const std::string& display);

}  // namespace velun::qt
