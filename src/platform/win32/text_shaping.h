#pragma once
// Measuring and drawing lines of text with Uniscribe (ScriptString*).
// Implemented:
//  [X] Lines split at CR LF; a text measures as its widest line, the empty text as 0
//  [X] Each line shaped in the reading direction of its first strong character, so
//      Arabic is joined, right to left, and measured exactly as it is drawn
//  [X] A right-to-left line laid out as a right-to-left paragraph: punctuation and
//      blanks at its logical end stand at its left end
//  [X] A shaped line kept for drawing again and again (a slide redraws its label
//      on every tick) without shaping it anew
//  [ ] No word wrapping: the saver lays out its lines itself
// GDI's DrawTextW and GetTextExtentPoint32W measure Arabic unjoined under some
// systems, which would put right-aligned lines off their edge; Uniscribe does not.
#include <windows.h>
#include <usp10.h>

#include <string>
#include <string_view>
#include <vector>

namespace velun::win32 {

std::vector<std::wstring> SplitLines(std::wstring_view text);

// One line shaped in the font selected into dc. It draws into that same dc (with
// the font then selected there), so the dc must outlive it.
class ShapedLine {
 public:
  ShapedLine(HDC dc, const std::wstring& line);
  ShapedLine(ShapedLine&& other) noexcept;
  ShapedLine& operator=(ShapedLine&& other) noexcept;
  ShapedLine(const ShapedLine&) = delete;
  ShapedLine& operator=(const ShapedLine&) = delete;
  ~ShapedLine();

  int Width() const;  // pixels
  // Draws with the left edge at x and the top at y, in the dc's text colour and
  // background mode.
  void Draw(int x, int y) const;

 private:
  SCRIPT_STRING_ANALYSIS analysis_ = nullptr;
};

// Width in pixels of the widest line, in the font selected into dc.
int TextWidthPixels(HDC dc, const std::vector<std::wstring>& lines);

}  // namespace velun::win32
