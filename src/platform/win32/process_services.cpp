#include "platform/win32/process_services.h"

#include <windows.h>

#include <vector>

namespace velun::win32 {

std::wstring ArgumentTextOf(std::wstring_view commandLine) {
  std::size_t pos = 0;
  if (!commandLine.empty() && commandLine[0] == L'"') {
    // A quoted name ends at the next quote; blanks inside it belong to the name.
    const std::size_t close = commandLine.find(L'"', 1);
    pos = close == std::wstring_view::npos ? commandLine.size() : close + 1;
  }
  while (pos < commandLine.size() && commandLine[pos] != L' ' && commandLine[pos] != L'\t') ++pos;
  // One blank separates the name from the arguments; a second one belongs to
  // the arguments (so " /s" stays a switch that matches nothing).
  if (pos < commandLine.size()) ++pos;
  return std::wstring(commandLine.substr(pos));
}

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
