#pragma once
// The preferences dialog ("/C") on Windows.
#include "startup/program.h"
#include "startup/settings.h"
#include "startup/system.h"

namespace velun::win32 {

// Shows the dialog modally; it saves the settings and ends the process when it
// closes. Returns only by raising a failure: the dialog could not be shown, or
// its load failed.
void ShowPreferencesDialog(Program& program, SystemServices& system, SettingsStore& store);

}  // namespace velun::win32
