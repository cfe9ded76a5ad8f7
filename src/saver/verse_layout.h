#pragma once
// Breaking a verse's display text into lines that fit the screen.
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace velun {

// The width of a text in twips as the saver window would draw it: a text that
// holds CR LF measures as its widest line, the empty text as 0.
using TextMeasure = std::function<float(const std::string&)>;

// Breaks the text after spaces into lines that measure strictly less than the
// width limit, each broken line keeping its space before the inserted
// lineBreak; the last piece loses its leading and trailing spaces. A word that
// does not fit even on a line of its own stands alone on its line, so the
// result always holds the whole text. A text of more than 32767 characters
// is an overflow failure.
std::string WrapVerseText(std::string_view text, std::int32_t limit, const TextMeasure& measure,
                          std::string_view lineBreak = "\r\n");

}  // namespace velun
