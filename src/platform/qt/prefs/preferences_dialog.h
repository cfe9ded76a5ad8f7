#pragma once
// The preferences dialog ("/C") in Qt Widgets.
#include "startup/program.h"
#include "startup/settings.h"
#include "startup/system.h"

namespace velun::qt {

// Shows the dialog modally; needs a QApplication. Every close (OK, Cancel, the
// close box, the window menu, Alt+F4) runs the dialog's unload, which saves the
// settings and ends the process. A failure of the dialog's load is raised again
// here for Main's trap; a failure of a later handler ends the program with the
// standard report.
void ShowPreferencesDialog(Program& program, SystemServices& system, SettingsStore& store);

}  // namespace velun::qt
