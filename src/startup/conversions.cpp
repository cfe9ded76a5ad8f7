#include "startup/conversions.h"

#include <cctype>
#include <cstdint>
#include <limits>
#include <optional>

#include "startup/failure.h"

namespace velun {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// A decimal number held exactly enough to round it: its whole part (saturated
// once it leaves any width we care for) and how its fraction compares with one half.
struct Decimal {
  bool negative = false;
  std::uint64_t whole = 0;
  bool wholeTooLarge = false;
  int fractionVersusHalf = 0;  // -1 below one half, 0 exactly one half, +1 above
  bool isZero = true;
};

// Reads a number from the start of text: [sign] digits [. digits] or [sign] . digits.
// Returns how many characters it used, 0 when no number starts there.
std::size_t ReadDecimal(std::string_view text, Decimal& out) {
  std::size_t i = 0;
  Decimal d;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    d.negative = text[i] == '-';
    ++i;
  }
  std::size_t digits = 0;
  for (; i < text.size() && IsDigit(text[i]); ++i, ++digits) {
    if (text[i] != '0') d.isZero = false;
    if (d.whole > (std::numeric_limits<std::uint64_t>::max() - 9) / 10)
      d.wholeTooLarge = true;
    else
      d.whole = d.whole * 10 + static_cast<std::uint64_t>(text[i] - '0');
  }
  std::size_t end = i;
  if (i < text.size() && text[i] == '.') {
    ++i;
    std::size_t fractionDigits = 0;
    bool first = true;
    bool restNonZero = false;
    int firstDigit = 0;
    for (; i < text.size() && IsDigit(text[i]); ++i, ++fractionDigits) {
      if (text[i] != '0') d.isZero = false;
      if (first) {
        firstDigit = text[i] - '0';
        first = false;
      } else if (text[i] != '0') {
        restNonZero = true;
      }
    }
    if (fractionDigits > 0 || digits > 0) end = i;
    digits += fractionDigits;
    if (fractionDigits > 0) {
      if (firstDigit > 5 || (firstDigit == 5 && restNonZero))
        d.fractionVersusHalf = 1;
      else if (firstDigit == 5)
        d.fractionVersusHalf = 0;
      else
        d.fractionVersusHalf = -1;
    } else {
      d.fractionVersusHalf = -1;
    }
  } else {
    d.fractionVersusHalf = -1;
  }
  if (digits == 0) return 0;
  out = d;
  return end;
}

template <typename Int>
Int RoundDecimal(const Decimal& d) {
  if (d.wholeTooLarge) RaiseOverflow();
  std::uint64_t magnitude = d.whole;
  const bool wholeIsOdd = (magnitude % 2) == 1;
  if (d.fractionVersusHalf > 0 || (d.fractionVersusHalf == 0 && wholeIsOdd)) ++magnitude;
  const std::uint64_t limit = d.negative
      ? static_cast<std::uint64_t>(-static_cast<std::int64_t>(std::numeric_limits<Int>::min()))
      : static_cast<std::uint64_t>(std::numeric_limits<Int>::max());
  if (magnitude > limit) RaiseOverflow();
  const std::int64_t value = d.negative ? -static_cast<std::int64_t>(magnitude)
                                        : static_cast<std::int64_t>(magnitude);
  return static_cast<Int>(value);
}

// The whole text must be a number, with blanks allowed around it.
std::optional<Decimal> WholeTextAsDecimal(std::string_view text) {
  const std::string_view trimmed = TrimBlanks(text);
  Decimal d;
  const std::size_t used = ReadDecimal(trimmed, d);
  if (used == 0 || used != trimmed.size()) return std::nullopt;
  return d;
}

template <typename Int>
Int TextToNumber(std::string_view text) {
  const std::optional<Decimal> d = WholeTextAsDecimal(text);
  if (!d) RaiseTypeMismatch();
  return RoundDecimal<Int>(*d);
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) !=
        std::tolower(static_cast<unsigned char>(b[i])))
      return false;
  }
  return true;
}

}  // namespace

std::string_view TrimBlanks(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

std::string_view TrimSpaces(std::string_view text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  return text;
}

std::int16_t TextToNumber16(std::string_view text) { return TextToNumber<std::int16_t>(text); }
std::int32_t TextToNumber32(std::string_view text) { return TextToNumber<std::int32_t>(text); }

std::int32_t TextToLeadingNumber32(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  Decimal d;
  if (ReadDecimal(text, d) == 0) return 0;
  return RoundDecimal<std::int32_t>(d);
}

bool TextToBoolean(std::string_view text) {
  const std::string_view trimmed = TrimBlanks(text);
  if (EqualsIgnoringCase(trimmed, "True")) return true;
  if (EqualsIgnoringCase(trimmed, "False")) return false;
  const std::optional<Decimal> d = WholeTextAsDecimal(trimmed);
  if (!d) RaiseTypeMismatch();
  return !d->isZero;
}

std::string NumberToText(std::int64_t value) { return std::to_string(value); }

std::string BooleanToText(bool value) { return value ? "True" : "False"; }

}  // namespace velun
