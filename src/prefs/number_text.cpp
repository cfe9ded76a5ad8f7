#include "prefs/number_text.h"

#include <algorithm>
#include <charconv>
#include <clocale>
#include <limits>
#include <system_error>
#include <utility>

namespace velun {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsBlank(char c) { return c == ' ' || c == '\t'; }

bool StartsWithAt(std::string_view text, std::size_t at, std::string_view part) {
  return !part.empty() && text.substr(at, part.size()) == part;
}

}  // namespace

LocaleNumberParser::LocaleNumberParser(std::string decimalSeparator, std::string groupSeparator)
    : decimalSeparator_(decimalSeparator.empty() ? "." : std::move(decimalSeparator)),
      groupSeparator_(std::move(groupSeparator)) {
  // A separator made of digits or equal to the decimal separator could never be told apart.
  bool hasDigit = false;
  for (char c : groupSeparator_) hasDigit = hasDigit || IsDigit(c);
  if (hasDigit || groupSeparator_ == decimalSeparator_) groupSeparator_.clear();
}

LocaleNumberParser LocaleNumberParser::ForCurrentLocale() {
  const std::lconv* conventions = std::localeconv();
  return LocaleNumberParser(conventions->decimal_point ? conventions->decimal_point : ".",
                            conventions->thousands_sep ? conventions->thousands_sep : "");
}

std::optional<double> LocaleNumberParser::Parse(std::string_view text) const {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);

  std::string plain;  // the number rewritten as [-]digits[.digits] for the conversion
  std::size_t i = 0;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    if (text[i] == '-') plain += '-';
    ++i;
  }

  std::size_t wholeDigits = 0;
  std::size_t groupLength = 0;  // digits since the last group separator
  bool grouped = false;
  while (i < text.size()) {
    if (IsDigit(text[i])) {
      plain += text[i];
      ++wholeDigits;
      ++groupLength;
      ++i;
    } else if (StartsWithAt(text, i, groupSeparator_)) {
      const bool groupFits = grouped ? groupLength == 3 : (groupLength >= 1 && groupLength <= 3);
      if (!groupFits) return std::nullopt;
      grouped = true;
      groupLength = 0;
      i += groupSeparator_.size();
    } else {
      break;
    }
  }
  if (grouped && groupLength != 3) return std::nullopt;

  std::size_t fractionDigits = 0;
  if (StartsWithAt(text, i, decimalSeparator_)) {
    i += decimalSeparator_.size();
    plain += '.';
    for (; i < text.size() && IsDigit(text[i]); ++i, ++fractionDigits) plain += text[i];
  }
  if (i != text.size() || wholeDigits + fractionDigits == 0) return std::nullopt;

  double value = 0;
  const auto [end, error] = std::from_chars(plain.data(), plain.data() + plain.size(), value);
  if (error != std::errc() || end != plain.data() + plain.size()) return std::nullopt;
  return value;
}

std::optional<std::int32_t> FloorOfLeadingNumber32(std::string_view text) {
  std::string compact;  // the text without its blanks
  for (char c : text) {
    if (c != ' ' && c != '\t' && c != '\n') compact += c;
  }

  std::size_t i = 0;
  bool negative = false;
  if (i < compact.size() && (compact[i] == '+' || compact[i] == '-')) {
    negative = compact[i] == '-';
    ++i;
  }
  std::string digits;  // every digit of the mantissa, the decimal point left out
  for (; i < compact.size() && IsDigit(compact[i]); ++i) digits += compact[i];
  // How many of the digits stand before the point; the exponent moves it.
  std::int64_t pointPosition = static_cast<std::int64_t>(digits.size());
  if (i < compact.size() && compact[i] == '.') {
    for (++i; i < compact.size() && IsDigit(compact[i]); ++i) digits += compact[i];
  }
  if (digits.empty()) return 0;

  // An exponent counts only when at least one digit follows its letter and sign.
  if (i < compact.size() && (compact[i] == 'e' || compact[i] == 'E' || compact[i] == 'd' ||
                             compact[i] == 'D')) {
    std::size_t j = i + 1;
    bool exponentNegative = false;
    if (j < compact.size() && (compact[j] == '+' || compact[j] == '-')) {
      exponentNegative = compact[j] == '-';
      ++j;
    }
    std::int64_t exponent = 0;
    bool exponentHasDigits = false;
    for (; j < compact.size() && IsDigit(compact[j]); ++j) {
      exponentHasDigits = true;
      if (exponent < 1'000'000) exponent = exponent * 10 + (compact[j] - '0');
    }
    if (exponentHasDigits) pointPosition += exponentNegative ? -exponent : exponent;
  }

  // Leading zeros say nothing about the size of the number.
  std::size_t firstSignificant = 0;
  while (firstSignificant < digits.size() && digits[firstSignificant] == '0') {
    ++firstSignificant;
    --pointPosition;
  }
  digits.erase(0, firstSignificant);
  if (digits.empty()) return 0;
  // Eleven or more whole digits without a leading zero lie beyond 32 bits.
  if (pointPosition > 10) return std::nullopt;

  std::int64_t whole = 0;
  bool fractionNonZero = false;
  for (std::int64_t k = 0; k < std::max<std::int64_t>(pointPosition, 0); ++k) {
    const std::size_t at = static_cast<std::size_t>(k);
    whole = whole * 10 + (at < digits.size() ? digits[at] - '0' : 0);
  }
  for (std::size_t at = static_cast<std::size_t>(std::max<std::int64_t>(pointPosition, 0));
       at < digits.size(); ++at) {
    if (digits[at] != '0') fractionNonZero = true;
  }
  const std::int64_t floor = negative ? -whole - (fractionNonZero ? 1 : 0) : whole;
  if (floor < std::numeric_limits<std::int32_t>::min() ||
      floor > std::numeric_limits<std::int32_t>::max())
    return std::nullopt;
  return static_cast<std::int32_t>(floor);
}

}  // namespace velun
