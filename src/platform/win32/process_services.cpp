#include "platform/win32/process_services.h"

#include <windows.h>

#include <vector>

#include "platform/win32/command_line.h"

namespace velun::win32 {

std::wstring CommandLineArgumentText() { return ArgumentTextOf(GetCommandLineW()); }

std::wstring ProgramFolderPath() {
  std::vector<wchar_t> buffer(MAX_PATH);
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0) return L".";
    if (length < buffer.size()) {
      std::wstring path(buffer.data(), length);
      const std::size_t slash = path.find_last_of(L"\\/");
      return slash == std::wstring::npos ? std::wstring(L".") : path.substr(0, slash);
    }
    buffer.resize(buffer.size() * 2);  // a long path was cut short: try again with more room
  }
}

bool AnotherInstanceRunning() {
  // The handle stays open until the process ends, which releases the name.
  static HANDLE mutex = CreateMutexW(nullptr, FALSE, L"Local\\Velun Saver instance");
  static const bool existed = mutex != nullptr && GetLastError() == ERROR_ALREADY_EXISTS;
  return existed;
}

void EndProcessNow() { ExitProcess(0); }

}  // namespace velun::win32
