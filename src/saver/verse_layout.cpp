#include "saver/verse_layout.h"

#include <cstddef>

#include "startup/conversions.h"
#include "startup/failure.h"

namespace velun {
namespace {

constexpr std::size_t kLongestText = 32767;  // character positions are 16-bit

// Characters, not bytes: every UTF-8 byte that does not continue a sequence.
std::size_t CharacterCount(std::string_view text) {
  std::size_t count = 0;
  for (const char c : text) {
    if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++count;
  }
  return count;
}

bool Fits(const TextMeasure& measure, std::string_view piece, std::int32_t limit) {
  return measure(std::string(piece)) < static_cast<float>(limit);
}

// The space after the first word of the rest (leading spaces skipped), or npos
// when that word is the last one of the rest: a break there would leave only
// spaces behind it.
std::size_t SpaceAfterFirstWord(std::string_view rest) {
  const std::size_t wordStart = rest.find_first_not_of(' ');
  if (wordStart == std::string_view::npos) return std::string_view::npos;
  const std::size_t space = rest.find(' ', wordStart);
  if (space == std::string_view::npos) return std::string_view::npos;
  if (rest.find_first_not_of(' ', space) == std::string_view::npos) return std::string_view::npos;
  return space;
}

// The break space of a rest that does not fit as a whole: the last space whose
// prefix (up to and including it) fits, scanning stops at the first that does
// not. When not even the first space fits, the break goes right after the
// over-long first word. npos: no break at all (a single word is left).
std::size_t FindBreak(std::string_view rest, std::int32_t limit, const TextMeasure& measure) {
  std::size_t lastFitting = std::string_view::npos;
  for (std::size_t space = rest.find(' '); space != std::string_view::npos;
       space = rest.find(' ', space + 1)) {
    if (!Fits(measure, rest.substr(0, space + 1), limit)) break;
    lastFitting = space;
  }
  if (lastFitting != std::string_view::npos) return lastFitting;
  return SpaceAfterFirstWord(rest);
}

}  // namespace

std::string WrapVerseText(std::string_view text, std::int32_t limit, const TextMeasure& measure,
                          std::string_view lineBreak) {
  if (CharacterCount(text) > kLongestText) RaiseOverflow();
  std::string result;
  std::string_view rest = text;
  while (!Fits(measure, rest, limit)) {
    const std::size_t breakSpace = FindBreak(rest, limit, measure);
    if (breakSpace == std::string_view::npos) break;
    result.append(rest.substr(0, breakSpace + 1));
    result.append(lineBreak);
    rest.remove_prefix(breakSpace + 1);
  }
  result.append(TrimSpaces(rest));
  return result;
}

}  // namespace velun
