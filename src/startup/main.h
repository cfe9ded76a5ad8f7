#pragma once
// The program's entry point: line break, single instance, settings, verse file
// path and the mode switch.
#include <string>
#include <string_view>

#include "startup/program.h"
#include "startup/settings.h"
#include "startup/system.h"

namespace velun {

inline constexpr const char* kVerseFileName = "finalvelun.txt";

// The two windows that Main dispatches to.
class ModeWindows {
 public:
  virtual ~ModeWindows() = default;
  // Shows the preferences dialog modally; it ends the process when it closes.
  virtual void ShowPreferences() = 0;
  // Shows the saver window; its load (first verse included) runs inside this call.
  virtual void ShowSaver() = 0;
};

// The first two characters of the argument text, upper-cased; empty gives "/S".
std::string ModeSwitch(std::string_view argumentText);

void Main(Program& program, SystemServices& system, SettingsStore& store, ModeWindows& windows);

}  // namespace velun
