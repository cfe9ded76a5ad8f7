#pragma once
// Measuring and drawing lines of text with Uniscribe (ScriptString*).
// Implemented:
//  [X] Lines split at CR LF; a text measures as its widest line, the empty text as 0
//  [X] Each line shaped in the reading direction of its first strong character, so
//      Arabic is joined, right to left, and measured exactly as it is drawn
//  [X] Drawing a line with its left edge at x (the caller right-aligns by width)
//  [ ] No word wrapping: the saver lays out its lines itself
// GDI's DrawTextW and GetTextExtentPoint32W measure Arabic unjoined under some
// systems, which would put right-aligned lines off their edge; Uniscribe does not.
#include <windows.h>

#include <string>
#include <string_view>
#include <vector>

namespace velun::win32 {

std::vector<std::wstring> SplitLines(std::wstring_view text);

// Width in pixels of one line in the font selected into dc.
int LineWidthPixels(HDC dc, const std::wstring& line);
// Width of the widest line.
int TextWidthPixels(HDC dc, const std::vector<std::wstring>& lines);
// Draws the line with its left edge at x and its top at y, in the dc's text colour
// and background mode.
void DrawLine(HDC dc, int x, int y, const std::wstring& line);

}  // namespace velun::win32
