#include "platform/win32/text_direction.h"

namespace velun::win32 {
namespace {

enum class Strength { Weak, LeftToRight, RightToLeft };

bool InRange(char32_t c, char32_t first, char32_t last) { return c >= first && c <= last; }

Strength StrengthOf(char32_t c) {
  // Arabic-Indic digits, the Arabic number signs and marks are weak or neutral.
  if (InRange(c, 0x0660, 0x0669) || InRange(c, 0x06F0, 0x06F9) || InRange(c, 0x0600, 0x0605) ||
      InRange(c, 0x064B, 0x065F) || c == 0x0670 || InRange(c, 0x06D6, 0x06ED) ||
      InRange(c, 0x0591, 0x05BD))
    return Strength::Weak;
  if (InRange(c, 0x0590, 0x08FF) || InRange(c, 0xFB1D, 0xFDFF) || InRange(c, 0xFE70, 0xFEFF) ||
      InRange(c, 0x10800, 0x10FFF) || InRange(c, 0x1E800, 0x1EFFF))
    return Strength::RightToLeft;
  if (InRange(c, U'A', U'Z') || InRange(c, U'a', U'z')) return Strength::LeftToRight;
  if (c < 0x00C0) return Strength::Weak;  // ASCII and Latin-1 digits, signs and blanks
  if (c == 0x00D7 || c == 0x00F7) return Strength::Weak;
  if (InRange(c, 0x0300, 0x036F)) return Strength::Weak;  // combining marks
  if (InRange(c, 0x2000, 0x2BFF) || InRange(c, 0x3000, 0x303F) || InRange(c, 0xFE00, 0xFE0F) ||
      InRange(c, 0xFF00, 0xFF20) || InRange(c, 0xD800, 0xDFFF))
    return Strength::Weak;  // general punctuation, symbols, arrows, spaces
  return Strength::LeftToRight;  // letters of every other script
}

}  // namespace

TextDirection LineDirection(std::u16string_view line) {
  for (std::size_t i = 0; i < line.size(); ++i) {
    char32_t c = line[i];
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < line.size() && line[i + 1] >= 0xDC00 &&
        line[i + 1] <= 0xDFFF) {
      c = 0x10000 + ((c - 0xD800) << 10) + (line[i + 1] - 0xDC00);
      ++i;
    }
    switch (StrengthOf(c)) {
      case Strength::RightToLeft:
        return TextDirection::RightToLeft;
      case Strength::LeftToRight:
        return TextDirection::LeftToRight;
      case Strength::Weak:
        break;
    }
  }
  return TextDirection::LeftToRight;
}

}  // namespace velun::win32
