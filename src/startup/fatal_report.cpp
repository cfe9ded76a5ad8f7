#include "startup/fatal_report.h"

#include "startup/conversions.h"

namespace velun {

std::string FatalErrorMessage(std::int32_t number, const std::string& description,
                              const std::string& programFolder, const std::string& lineBreak) {
  std::string text = "An Error has Occured.  The Holy Velun Saver is exiting.";
  text += lineBreak;
  text += "Please report the following information to me at ";
  text += VELUN_CONTACT_ADDRESS;
  text += ":";
  text += lineBreak;
  text += "Error Number: " + NumberToText(number);
  text += lineBreak;
  text += "Message: " + description;
  text += lineBreak;
  text += "Path: " + programFolder;
  return text;
}

void ShowCursorFully(SystemServices& system) {
  while (system.ShowCursor(true) < 6) {
  }
}

void WithdrawScreenSaverNotice(Program& program, SystemServices& system) {
  if (!program.screenSaverNoticeGiven) return;
  system.SetScreenSaverRunning(false);
  program.screenSaverNoticeGiven = false;
}

void ReportFatalError(const Failure& failure, Program& program, SystemServices& system) {
  ShowCursorFully(system);
  // The saver's load may have told the system that a screen saver runs; the
  // report ends the process without the unload, so it takes the notice back.
  WithdrawScreenSaverNotice(program, system);
  const std::string lineBreak = program.settings.LineBreak.empty() ? "\r\n" : program.settings.LineBreak;
  system.ShowMessageBox(
      FatalErrorMessage(failure.Number(), failure.Description(), system.ProgramFolder(), lineBreak),
      kStyleStop, "Error");
  program.ended = true;
  system.EndProcess();
}

std::string UnhandledFailureMessage(const Failure& failure, const std::string& lineBreak) {
  return "Run-time error '" + NumberToText(failure.Number()) + "':" + lineBreak + lineBreak +
         failure.Description();
}

void ReportUnhandledFailure(const Failure& failure, Program& program, SystemServices& system) {
  WithdrawScreenSaverNotice(program, system);
  ShowCursorFully(system);
  const std::string lineBreak = program.settings.LineBreak.empty() ? "\r\n" : program.settings.LineBreak;
  system.ShowMessageBox(UnhandledFailureMessage(failure, lineBreak), kStyleStop, kApplicationName);
  program.ended = true;
  system.EndProcess();
}

}  // namespace velun
