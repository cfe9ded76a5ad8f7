#include "platform/win32/text_direction.h"

#include <vector>

namespace velun::win32 {

TextDirection LineDirection(std::wstring_view line) {
  if (line.empty()) return TextDirection::LeftToRight;
  std::vector<WORD> types(line.size());
  if (!GetStringTypeW(CT_CTYPE2, line.data(), static_cast<int>(line.size()), types.data()))
    return TextDirection::LeftToRight;
  for (const WORD type : types) {
    if (type == C2_RIGHTTOLEFT) return TextDirection::RightToLeft;
    if (type == C2_LEFTTORIGHT) return TextDirection::LeftToRight;
  }
  return TextDirection::LeftToRight;
}

}  // namespace velun::win32
