#pragma once
// What the program needs of the process and the system, whatever the platform.
#include <string>

namespace velun {

// Message box styles used by the program.
inline constexpr int kStyleStop = 16;         // stop icon, OK button
inline constexpr int kStyleExclamation = 48;  // exclamation icon, OK button

class SystemServices {
 public:
  virtual ~SystemServices() = default;

  // The command line without the program's own name, as UTF-8.
  virtual std::string ArgumentText() = 0;
  // The folder that holds the program file, as UTF-8, without a trailing separator.
  virtual std::string ProgramFolder() = 0;
  // The separator the platform puts between a folder and a file name ("\" on Windows).
  virtual std::string PathSeparator() = 0;
  // Whether another instance of this same program is already running.
  virtual bool PreviousInstanceRunning() = 0;

  // Adds 1 to the cursor display count when show is true, takes 1 off when false;
  // returns the new count. The cursor is visible while the count is 0 or more.
  virtual int ShowCursor(bool show) = 0;
  // The notice to the system that a screen saver is (or no longer is) running.
  virtual void SetScreenSaverRunning(bool running) = 0;
  // A modal message box; returns when the user has closed it.
  virtual void ShowMessageBox(const std::string& text, int style, const std::string& title) = 0;

  // Ends the process at once. A real platform does not return from here; a fake
  // records the end and returns, and the program then returns from its handler
  // without doing anything more.
  virtual void EndProcess() = 0;
};

}  // namespace velun
