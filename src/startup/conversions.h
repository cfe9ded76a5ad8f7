#pragma once
// Conversions between the settings store's texts and the settings' values.
// Numbers are plain decimal notation: optional blanks, an optional sign, digits
// with an optional "." fraction, optional blanks. No group separators,
// exponents or hexadecimal prefixes.
#include <cstdint>
#include <string>
#include <string_view>

namespace velun {

// A number rounded to the nearest integer, halves to even. Not a number: 13;
// outside the member's width: 6.
std::int16_t TextToNumber16(std::string_view text);
std::int32_t TextToNumber32(std::string_view text);

// The colour's reading: blanks skipped, then the longest leading run that forms
// a number; no such run reads as 0. Rounded halves to even; outside 32 bits: 6.
std::int32_t TextToLeadingNumber32(std::string_view text);

// "True"/"False" in any letter case, or a number (0 false, any other true).
// Anything else: 13.
bool TextToBoolean(std::string_view text);

std::string NumberToText(std::int64_t value);
std::string BooleanToText(bool value);

// Removes blanks (space and tab) at both ends.
std::string_view TrimBlanks(std::string_view text);
// Removes spaces (only the space character) at both ends.
std::string_view TrimSpaces(std::string_view text);

}  // namespace velun
