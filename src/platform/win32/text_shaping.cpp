#include "platform/win32/text_shaping.h"

#include <algorithm>
#include <utility>

#include "platform/win32/text_direction.h"

namespace velun::win32 {

ShapedLine::ShapedLine(HDC dc, const std::wstring& line) {
  if (line.empty()) return;
  // A right-to-left line is a right-to-left paragraph: SSA_RTL says so, and so does
  // the initial embedding level of 1. Some Uniscribes (Wine's) go by the level
  // only. Neutrals at the line's logical end, the trailing "،" of its last word and
  // the space it was broken at, then stand at its left end, and its first word
  // against the right edge.
  DWORD flags = SSA_GLYPHS | SSA_FALLBACK;
  SCRIPT_STATE state{};
  if (LineDirection(line) == TextDirection::RightToLeft) {
    flags |= SSA_RTL;
    state.uBidiLevel = 1;
  }
  const int length = static_cast<int>(line.size());
  if (FAILED(ScriptStringAnalyse(dc, line.c_str(), length, length * 3 / 2 + 16, -1, flags, 0,
                                 nullptr, &state, nullptr, nullptr, nullptr, &analysis_)))
    analysis_ = nullptr;
}

ShapedLine::ShapedLine(ShapedLine&& other) noexcept
    : analysis_(std::exchange(other.analysis_, nullptr)) {}

ShapedLine& ShapedLine::operator=(ShapedLine&& other) noexcept {
  if (this != &other) {
    if (analysis_ != nullptr) ScriptStringFree(&analysis_);
    analysis_ = std::exchange(other.analysis_, nullptr);
  }
  return *this;
}

ShapedLine::~ShapedLine() {
  if (analysis_ != nullptr) ScriptStringFree(&analysis_);
}

int ShapedLine::Width() const {
  if (analysis_ == nullptr) return 0;
  const SIZE* size = ScriptString_pSize(analysis_);
  return size != nullptr ? static_cast<int>(size->cx) : 0;
}

void ShapedLine::Draw(int x, int y) const {
  if (analysis_ != nullptr) ScriptStringOut(analysis_, x, y, 0, nullptr, 0, 0, FALSE);
}

std::vector<std::wstring> SplitLines(std::wstring_view text) {
  std::vector<std::wstring> lines;
  std::size_t start = 0;
  for (;;) {
    const std::size_t end = text.find(L"\r\n", start);
    if (end == std::wstring_view::npos) {
      lines.emplace_back(text.substr(start));
      return lines;
    }
    lines.emplace_back(text.substr(start, end - start));
    start = end + 2;
  }
}

int TextWidthPixels(HDC dc, const std::vector<std::wstring>& lines) {
  int widest = 0;
  for (const std::wstring& line : lines) widest = std::max(widest, ShapedLine(dc, line).Width());
  return widest;
}

}  // namespace velun::win32
