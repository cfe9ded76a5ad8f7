#pragma once
// The verse file, the verse index with its two order tables, and the choice
// and reading of the next verse in each of the three orders.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "startup/settings.h"
#include "verses/random.h"

namespace velun {

inline constexpr std::int16_t kChapterCount = 114;
inline constexpr std::int16_t kVerseLineCount = 6348;

// The verse index and the current verse; members of the saver window.
struct VerseIndex {
  std::int16_t VerseCount = 0;
  std::vector<std::int16_t> VerseOrder;            // indices 0 to VerseCount; 0 unused
  std::array<std::int16_t, kChapterCount + 1> ChapterOrder{};  // indices 0 to 114; 0 unused
  std::int16_t VersesLeft = 0;
  std::int16_t ChaptersLeft = 0;
  std::string VerseText;  // the line just read, then the display text (UTF-8)
  std::int16_t ChapterPick = 0;
  std::int16_t NextVerse = 0;
  std::int16_t ChapterVerseCount = 0;
  std::string ChapterName;
  std::int16_t ChapterNumber = 0;
  std::int16_t VerseIndex = 0;
};

struct ChapterHeading {
  std::string name;
  std::int16_t number = 0;
  std::int16_t verseCount = 0;
};

// A line is a chapter heading when it holds "*" anywhere.
bool IsHeadingLine(std::string_view line);
// Takes a heading line apart: "*", name, "-", number, "-", count, "*".
// Too short or without two "-": 5; a field that is not a number: 13; out of 16 bits: 6.
ChapterHeading ParseChapterHeading(std::string_view line);

// The text shown for a verse: the line without its outer spaces, a line break,
// then "(" chapter name ":" verse number ") ".
std::string BuildDisplayText(std::string_view verseLine, std::string_view chapterName,
                             std::int16_t verseNumber, std::string_view lineBreak);

void ResetOrders(VerseIndex& index);
// Fixed counts, seed, order tables, and the first chapter draw.
void PrepareVerseSource(VerseIndex& index, const Settings& settings, UniformRandom& random);
// Opens the verse file named by settings.VerseFilePath (UTF-8), reads it from
// its first line and closes it again: nothing of the file is kept.
// Reads the next verse in the given order and leaves the display text in VerseText.
// Codes other than 1, 2 and 3 (only a hand-edited store holds them) fetch as
// Random Verse; the code itself is left as it is.
void FetchNextVerse(VerseIndex& index, std::int16_t selectionCode, const Settings& settings,
                    UniformRandom& random);
// Draws a chapter for the Random Chapter order and reads its heading.
void DrawChapter(VerseIndex& index, const Settings& settings, UniformRandom& random);

}  // namespace velun
