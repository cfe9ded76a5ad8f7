#include "platform/win32/preferences_dialog.h"

namespace velun::win32 {

// Implemented:
//  [ ] The dialog itself: until it exists, "/C" ends the program with nothing shown
//      and nothing saved.
void ShowPreferencesDialog(Program& program, SystemServices& system, SettingsStore& /*store*/) {
  program.ended = true;
  system.EndProcess();
}

}  // namespace velun::win32
