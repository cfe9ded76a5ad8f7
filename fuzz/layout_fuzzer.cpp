// For any text, any width limit (0 and negatives included) and any measure
// (fuzzed widths per character), the layout returns in bounded steps; taking its
// inserted line breaks out gives the input back but for spaces removed at the two
// ends of its last piece; and every line but a lone over-long word fits.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "startup/conversions.h"
#include "startup/failure.h"
#include "saver/verse_layout.h"

namespace {

// The inserted break is a marker that never occurs in the input, so it can be
// told from the CR LF pairs the text holds of its own; the measure treats both
// as line ends.
constexpr std::string_view kMarker = "\x01\x02";

void Check(bool condition) {
  if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 9) return 0;
  std::int32_t limit;
  std::memcpy(&limit, data, 4);
  limit %= 20000;
  std::uint8_t widths[4];
  std::memcpy(widths, data + 4, 4);
  const std::uint8_t spaceWidth = data[8];
  const std::string text(reinterpret_cast<const char*>(data) + 9, size - 9);
  if (text.find('\x01') != std::string::npos) return 0;

  std::size_t measures = 0;
  const velun::TextMeasure measure = [&](const std::string& s) -> float {
    ++measures;
    float widest = 0;
    float width = 0;
    for (std::size_t i = 0; i < s.size(); ++i) {
      const unsigned char c = static_cast<unsigned char>(s[i]);
      if (c == '\r' && i + 1 < s.size() && s[i + 1] == '\n') {
        ++i;
        width = 0;
      } else if (c == 0x01 && i + 1 < s.size() && s[i + 1] == 0x02) {
        ++i;
        width = 0;
      } else {
        width += c == ' ' ? spaceWidth : widths[c % 4];
        widest = std::max(widest, width);
      }
    }
    return widest;
  };

  std::string result;
  try {
    result = velun::WrapVerseText(text, limit, measure, kMarker);
  } catch (const velun::Failure& failure) {
    Check(failure.Number() == 6 && text.size() > 32767);
    return 0;
  }
  const std::size_t spaces = static_cast<std::size_t>(std::count(text.begin(), text.end(), ' '));
  Check(measures <= (spaces + 2) * (spaces + 2));

  std::vector<std::string> pieces;
  for (std::size_t from = 0;;) {
    const std::size_t at = result.find(kMarker, from);
    pieces.push_back(result.substr(from, at == std::string::npos ? std::string::npos : at - from));
    if (at == std::string::npos) break;
    from = at + kMarker.size();
  }
  std::string joined;
  for (std::size_t i = 0; i + 1 < pieces.size(); ++i) {
    Check(!pieces[i].empty() && pieces[i].back() == ' ');
    joined += pieces[i];
  }
  Check(text.compare(0, joined.size(), joined) == 0);
  Check(velun::TrimSpaces(std::string_view(text).substr(joined.size())) == pieces.back());

  for (const std::string& piece : pieces) {
    if (measure(piece) < static_cast<float>(limit)) continue;
    // A line that does not fit holds a single word and the spaces around it.
    Check(velun::TrimSpaces(piece).find(' ') == std::string_view::npos);
  }
  return 0;
}
