#include "platform/win32/command_line.h"

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

}  // namespace velun::win32
