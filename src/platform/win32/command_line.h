#pragma once
// The argument text of a Windows command line.
// Implemented:
//  [X] The program's own name is taken off, quoted ("C:\My Savers\velun.scr") or not,
//      with the one blank that follows it; everything after stays as it is, so a
//      second blank belongs to the arguments
// Plain C++ (no Windows header), so that it is checked on every build machine.
#include <string>
#include <string_view>

namespace velun::win32 {

std::wstring ArgumentTextOf(std::wstring_view commandLine);

}  // namespace velun::win32
