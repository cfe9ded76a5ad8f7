#pragma once
// The reading direction of a line of text, from its first strong character, as the
// system classifies characters (GetStringTypeW, CT_CTYPE2).
// Implemented:
//  [X] A line whose first strong character is right-to-left (Arabic, Hebrew,
//      Syriac, Thaana, N'Ko, Arabic presentation forms...) reads right to left
//  [X] Digits, Arabic-Indic digits, punctuation, blanks and marks are not strong:
//      the first letter decides; a line with no strong character reads left to right
//  [ ] Characters beyond the Basic Multilingual Plane (surrogate pairs) count as
//      not strong: the system classifies single UTF-16 units only
#include <windows.h>

#include <string_view>

namespace velun::win32 {

enum class TextDirection { LeftToRight, RightToLeft };

TextDirection LineDirection(std::wstring_view line);

}  // namespace velun::win32
