#include "platform/qt/display_mode.h"

#include <cctype>
#include <cstdio>

namespace velun::qt {
namespace {

bool IsSwitch(const std::string& argument, const char* name) {
  return argument == std::string("-") + name || argument == std::string("--") + name;
}

}  // namespace

std::optional<std::uint32_t> ParseWindowId(const std::string& text) {
  const bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
  const std::string digits = hex ? text.substr(2) : text;
  if (digits.empty() || digits.size() > 10) return std::nullopt;
  std::uint64_t value = 0;
  for (char c : digits) {
    const auto u = static_cast<unsigned char>(c);
    if (hex ? !std::isxdigit(u) : !std::isdigit(u)) return std::nullopt;
    const int digit = std::isdigit(u) ? c - '0' : std::tolower(u) - 'a' + 10;
    value = value * (hex ? 16 : 10) + static_cast<std::uint64_t>(digit);
  }
  // X resource ids have 29 bits; 0 is None.
  if (value == 0 || value > 0x1FFFFFFFu) return std::nullopt;
  return static_cast<std::uint32_t>(value);
}

std::optional<DisplayModeStart> ParseDisplayModeStart(const std::vector<std::string>& arguments,
                                                      const char* xscreensaverWindow,
                                                      std::string* error) {
  const auto fail = [error](std::string reason) -> std::optional<DisplayModeStart> {
    if (error != nullptr) *error = std::move(reason);
    return std::nullopt;
  };
  const bool fromEnvironment = xscreensaverWindow != nullptr && xscreensaverWindow[0] != '\0';
  if (arguments.empty()) {
    if (!fromEnvironment) return std::nullopt;
    const auto window = ParseWindowId(xscreensaverWindow);
    if (!window) return fail("XSCREENSAVER_WINDOW is not a window id: " +
                             std::string(xscreensaverWindow));
    return DisplayModeStart{false, *window};
  }

  // Only a command line made of display-mode switches alone is one.
  bool root = false;
  std::optional<std::uint32_t> given;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    if (IsSwitch(argument, "root")) {
      root = true;
      continue;
    }
    std::string idText;
    if (IsSwitch(argument, "window-id")) {
      if (i + 1 == arguments.size()) return fail(argument + " needs a window id");
      idText = arguments[++i];
    } else if (argument.rfind("-window-id=", 0) == 0 || argument.rfind("--window-id=", 0) == 0) {
      idText = argument.substr(argument.find('=') + 1);
    } else {
      return std::nullopt;
    }
    given = ParseWindowId(idText);
    if (!given) return fail("not a window id: " + idText);
  }
  if (given) return DisplayModeStart{false, *given};
  // -root: the window XScreenSaver made for this mode when it runs us, else the root.
  if (root && fromEnvironment) {
    if (const auto window = ParseWindowId(xscreensaverWindow)) return DisplayModeStart{false, *window};
    return fail("XSCREENSAVER_WINDOW is not a window id: " + std::string(xscreensaverWindow));
  }
  return DisplayModeStart{true, 0};
}

std::string DisplayModeLockName(const DisplayModeStart& start, const std::string& display) {
  std::string name = "velun-saver-window-";
  for (char c : display) name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
  if (start.rootWindow) return name + "-root.lock";
  char id[16];
  std::snprintf(id, sizeof id, "-0x%x.lock", static_cast<unsigned>(start.window));
  return name + id;
}

}  // namespace velun::qt
