#pragma once
// The process facilities of the Linux program, in plain C++ and POSIX (no Qt), so
// that they are tested on every build machine.
// Implemented:
//  [X] Argument text: the arguments after the program's name joined by single blanks
//  [X] Program folder: the folder of the real path of /proc/self/exe, so that a link
//      to the program (say in bin/) still finds the verse file beside the program
//  [X] Single instance: an exclusive flock on a file in $XDG_RUNTIME_DIR (or the temp
//      folder), held until the process ends; the kernel releases it if the process dies
//  [X] SIGTERM and SIGINT turned into a readable file descriptor, so that the event
//      loop runs the saver's own unload for them
//  [ ] No other signals are caught
#include <string>

namespace velun::qt {

std::string ArgumentTextOf(int argc, const char* const* argv);

// The folder of the given executable path after links are resolved; "." when it
// cannot be resolved.
std::string FolderOfRealPath(const std::string& path);
std::string ProgramFolderPath();  // FolderOfRealPath("/proc/self/exe")

// The lock file's path: $XDG_RUNTIME_DIR/<name>.lock when that is an absolute path,
// else <temp folder>/<name>-<uid>.lock.
std::string InstanceLockPath(const std::string& name = "velun-saver");

// Takes the instance lock at path once and keeps it for the life of the process.
// True when another process holds it. A lock that cannot be made at all (no
// writable folder) does not stop the program: it then counts as not held.
bool AnotherInstanceHolds(const std::string& path);

// Installs SIGTERM and SIGINT handlers that write the signal number to a pipe;
// returns the pipe's read end (or -1). Safe to call once.
int TerminationSignalPipe();

}  // namespace velun::qt
