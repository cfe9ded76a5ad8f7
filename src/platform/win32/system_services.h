#pragma once
// The core's process and system services on Windows.
// Implemented:
//  [X] Argument text, program folder, "\" separator, previous instance (process_services.h)
//  [X] ShowCursor, exactly as asked, returning the new display count
//  [X] Screen-saver notice: SystemParametersInfoW(SPI_SETSCREENSAVERRUNNING) with a
//      real BOOL to receive the previous state (the system writes to that pointer)
//  [X] Modal message box (MessageBoxW), kept in front of the full-screen window
//  [X] Ending the process (ExitProcess)
#include "startup/system.h"

namespace velun::win32 {

class Win32SystemServices : public SystemServices {
 public:
  std::string ArgumentText() override;
  std::string ProgramFolder() override;
  std::string PathSeparator() override;
  bool PreviousInstanceRunning() override;
  int ShowCursor(bool show) override;
  void SetScreenSaverRunning(bool running) override;
  void ShowMessageBox(const std::string& text, int style, const std::string& title) override;
  void EndProcess() override;
};

}  // namespace velun::win32
