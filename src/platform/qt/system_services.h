#pragma once
// The core's process and system services on Linux with Qt.
// Implemented:
//  [X] Argument text, program folder, "/" separator, previous instance
//      (process_services.h)
//  [X] ShowCursor with a display count that behaves like Windows': the count starts
//      at 0, each call adds or takes 1 and returns the new count, and the pointer is
//      hidden over the program's windows while the count is below 0
//  [X] Screen-saver notice: Linux has no such call; the notice is only recorded
//  [X] As a display mode no box: the message goes to standard error (XScreenSaver
//      shows a mode's error output on its screen), and the program goes on as after OK
//  [X] Modal message box (QMessageBox): style 16 critical, 48 warning, one OK button,
//      text as plain text (CR LF shown as line breaks), in front of the saver, which
//      first gives up its hold on the keyboard and pointer; Ctrl+C copies the box's
//      title, text and buttons as on Windows
//  [X] Ending the process at once with status 0 (no destructors run, as on Windows)
//  [X] The Qt application made on first need, so that "--help" and switches that
//      show nothing work without a display
#include <string>

#include "startup/system.h"

class QApplication;

namespace velun::qt {

// The application object, made on first call.
QApplication& EnsureApplication();

class QtSystemServices : public SystemServices {
 public:
  QtSystemServices(int argc, const char* const* argv);
  // A start whose argument text and instance lock the front end chose (display modes).
  QtSystemServices(std::string argumentText, std::string instanceLockPath);

  std::string ArgumentText() override { return argumentText_; }
  std::string ProgramFolder() override;
  std::string PathSeparator() override { return "/"; }
  bool PreviousInstanceRunning() override;
  int ShowCursor(bool show) override;
  void SetScreenSaverRunning(bool running) override { screenSaverRunning_ = running; }
  void ShowMessageBox(const std::string& text, int style, const std::string& title) override;
  void EndProcess() override;

  // A display mode has no keyboard or pointer of its own to close a message box.
  void ReportOnStandardError() { reportOnStandardError_ = true; }

  bool ScreenSaverRunning() const { return screenSaverRunning_; }
  int CursorCount() const { return cursorCount_; }

 private:
  void ApplyCursor();

  std::string argumentText_;
  std::string instanceLockPath_;
  int cursorCount_ = 0;
  bool cursorHidden_ = false;
  bool screenSaverRunning_ = false;
  bool reportOnStandardError_ = false;
};

}  // namespace velun::qt
