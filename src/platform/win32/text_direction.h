#pragma once
// The reading direction of a line of text, from its first strong character.
// Implemented:
//  [X] Right-to-left letters (Hebrew, Arabic, Syriac, Thaana, N'Ko, Arabic
//      presentation forms) make a right-to-left line
//  [X] Letters of the left-to-right scripts make a left-to-right line
//  [X] Digits, Arabic-Indic digits, punctuation, blanks and marks are not strong:
//      a line with no strong character reads left to right
// Plain C++ (no Windows header), so that it is checked on every build machine.
#include <string_view>

namespace velun::win32 {

enum class TextDirection { LeftToRight, RightToLeft };

TextDirection LineDirection(std::u16string_view line);

}  // namespace velun::win32
