#include "platform/win32/system_services.h"

#include <windows.h>

#include "platform/win32/process_services.h"
#include "platform/win32/unicode_text.h"

namespace velun::win32 {

std::string Win32SystemServices::ArgumentText() { return WideToUtf8(CommandLineArgumentText()); }
std::string Win32SystemServices::ProgramFolder() { return WideToUtf8(ProgramFolderPath()); }
std::string Win32SystemServices::PathSeparator() { return "\\"; }
bool Win32SystemServices::PreviousInstanceRunning() { return AnotherInstanceRunning(); }

int Win32SystemServices::ShowCursor(bool show) { return ::ShowCursor(show ? TRUE : FALSE); }

void Win32SystemServices::SetScreenSaverRunning(bool running) {
  BOOL previous = FALSE;
  SystemParametersInfoW(SPI_SETSCREENSAVERRUNNING, running ? TRUE : FALSE, &previous, 0);
}

void Win32SystemServices::ShowMessageBox(const std::string& text, int style,
                                         const std::string& title) {
  // The saver window is top-most; the box must not open hidden behind it.
  MessageBoxW(nullptr, Utf8ToWide(text).c_str(), Utf8ToWide(title).c_str(),
              static_cast<UINT>(style) | MB_TOPMOST | MB_SETFOREGROUND);
}

void Win32SystemServices::EndProcess() { EndProcessNow(); }

}  // namespace velun::win32
