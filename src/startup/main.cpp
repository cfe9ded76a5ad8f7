#include "startup/main.h"

#include "startup/failure.h"
#include "startup/fatal_report.h"

namespace velun {

std::string ModeSwitch(std::string_view argumentText) {
  // The switch is two characters of the text as given: nothing is trimmed, so a
  // leading blank makes a switch that matches nothing. Only ASCII letters are
  // upper-cased; a multi-byte character simply never matches "/C" or "/S".
  std::string modeSwitch(argumentText.substr(0, 2));
  for (char& c : modeSwitch) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  if (modeSwitch.empty()) modeSwitch = "/S";
  return modeSwitch;
}

void Main(Program& program, SystemServices& system, SettingsStore& store, ModeWindows& windows) {
  program.settings.LineBreak = "\r\n";
  if (system.PreviousInstanceRunning()) {
    program.ended = true;
    system.EndProcess();
    return;
  }
  try {
    LoadSettings(program.settings, store);
    program.settings.VerseFilePath =
        system.ProgramFolder() + system.PathSeparator() + kVerseFileName;
    const std::string modeSwitch = ModeSwitch(system.ArgumentText());
    if (modeSwitch == "/C") {
      windows.ShowPreferences();
    } else if (modeSwitch == "/S") {
      windows.ShowSaver();
    }
  } catch (const Failure& failure) {
    ReportFatalError(failure, program, system);
  }
}

}  // namespace velun
