#pragma once
// The process as Windows starts it.
// Implemented:
//  [X] Argument text: the command line without the program's own, possibly quoted,
//      name and the one blank that separates it; nothing else is trimmed.
//  [X] Program folder from GetModuleFileNameW (any length, any characters).
//  [X] Previous-instance test by a named mutex held for the life of the process.
//  [X] Ending the process at once.
#include <string>

namespace velun::win32 {

std::wstring CommandLineArgumentText();
// The folder of the running program file, without a trailing backslash.
std::wstring ProgramFolderPath();
// True when another process already holds the program's instance mutex.
bool AnotherInstanceRunning();
[[noreturn]] void EndProcessNow();

}  // namespace velun::win32
