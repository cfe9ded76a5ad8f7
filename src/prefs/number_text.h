#pragma once
// Reading the time delay typed into the preferences dialog: the locale-aware
// numeric test that the core ships for platforms without one of their own, and
// the reading of the number at the start of the text.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "prefs/dialog_controls.h"

namespace velun {

// A plain decimal number as a locale writes it: blanks (space, tab) around it,
// an optional leading sign, digits with optional group separators, and an
// optional decimal separator followed by digits. A group separator stands
// between digits of the whole part, after a first group of one to three digits
// and before groups of exactly three. No exponents, currency signs or
// hexadecimal; a value beyond the range of a double is not a number.
class LocaleNumberParser : public NumberParser {
 public:
  // An empty decimal separator means "."; an empty group separator, or one
  // equal to the decimal separator, means that digits are not grouped.
  LocaleNumberParser(std::string decimalSeparator, std::string groupSeparator);
  // The separators of the C library's current locale (setlocale).
  static LocaleNumberParser ForCurrentLocale();

  std::optional<double> Parse(std::string_view text) const override;

  const std::string& DecimalSeparator() const { return decimalSeparator_; }
  const std::string& GroupSeparator() const { return groupSeparator_; }

 private:
  std::string decimalSeparator_;
  std::string groupSeparator_;
};

// The number at the start of the text, read whatever the locale: blanks
// (space, tab, line feed) are ignored wherever they stand, then an optional
// sign, digits with "." as the decimal point and an optional exponent (e or d);
// the first character that cannot continue the number ends it, and a text
// without a number reads as 0. Gives the greatest whole number not above the
// value, or nothing when that lies outside the 32-bit range.
std::optional<std::int32_t> FloorOfLeadingNumber32(std::string_view text);

}  // namespace velun
