#pragma once
// The character sets of the verse file. Internally every text is UTF-8. A line
// of the file that is valid UTF-8 is taken as it is; any other line is read as
// Windows-1256, the Arabic code page of older files. Both keep "*", "-",
// digits, spaces and the line ends at their ASCII values, so a line can be
// split and tested before it is converted.
#include <cstddef>
#include <string>
#include <string_view>

namespace velun {

// Strict UTF-8: no overlong forms, no surrogates, nothing above U+10FFFF.
bool IsValidUtf8(std::string_view bytes);

// The number of characters of a line as the verse file holds it: code points
// when the line is valid UTF-8, bytes when it is Windows-1256.
std::size_t CountLineCharacters(std::string_view bytes);

// Converts Windows-1256 bytes to UTF-8.
std::string Windows1256ToUtf8(std::string_view bytes);

// The text of one line of the verse file, as UTF-8.
std::string LineToUtf8(std::string_view bytes);

}  // namespace velun
