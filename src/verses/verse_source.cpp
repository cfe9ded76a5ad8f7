#include "verses/verse_source.h"

#include <utility>

#include "startup/checked.h"
#include "startup/conversions.h"
#include "startup/failure.h"
#include "verses/text_encoding.h"
#include "verses/verse_file_reader.h"

namespace velun {
namespace {

// Chapters 1 and 9 have no opening line: their first verse line is verse 1.
bool HasNoOpeningLine(std::int16_t chapter) { return chapter == 1 || chapter == 9; }

std::size_t Utf8SequenceLength(unsigned char lead) {
  if (lead >= 0xF0) return 4;
  if (lead >= 0xE0) return 3;
  if (lead >= 0xC0) return 2;
  return 1;
}

// Drops the last and then the first character; a text too short for either is 5.
std::string_view DropDelimiters(std::string_view text) {
  if (text.empty()) RaiseInvalidArgument();
  std::size_t last = text.size() - 1;
  while (last > 0 && (static_cast<unsigned char>(text[last]) & 0xC0) == 0x80) --last;
  text = text.substr(0, last);
  if (text.empty()) RaiseInvalidArgument();
  const std::size_t first = Utf8SequenceLength(static_cast<unsigned char>(text.front()));
  return text.substr(first < text.size() ? first : text.size());
}

// Reads a heading line into the chapter name and number of the index.
ChapterHeading ReadHeading(VerseIndex& index, std::string_view rawLine) {
  ChapterHeading heading = ParseChapterHeading(LineToUtf8(rawLine));
  index.ChapterName = heading.name;
  index.ChapterNumber = heading.number;
  return heading;
}

// Reads lines until `headings` heading lines have been read; gives the last heading.
ChapterHeading ReadToHeading(VerseIndex& index, VerseFileReader& reader, std::int16_t headings) {
  ChapterHeading heading;
  std::int16_t seen = 0;
  while (seen < headings) {
    const std::string_view line = reader.ReadLine();
    if (reader.LastLineIsHeading()) {
      heading = ReadHeading(index, line);
      seen = Add16(seen, 1);
    }
  }
  return heading;
}

// Reads to the verse line at `position` among all verse lines; leaves it in
// VerseText and gives its verse number.
std::int16_t ScanToVersePosition(VerseIndex& index, VerseFileReader& reader,
                                 std::int16_t position) {
  std::int16_t verse = 1;
  std::int16_t counted = 0;
  std::string_view line;
  while (counted < position) {
    line = reader.ReadLine();
    verse = Add16(verse, 1);
    counted = Add16(counted, 1);
    if (reader.LastLineIsHeading()) {
      ReadHeading(index, line);
      verse = HasNoOpeningLine(index.ChapterNumber) ? 0 : -1;
      counted = Sub16(counted, 1);
    }
  }
  index.VerseText = LineToUtf8(line);
  return verse;
}

std::int16_t FetchFromBeginingToEnd(VerseIndex& index, const Settings& settings) {
  VerseFileReader reader(settings.VerseFilePath);
  index.VerseIndex = Add16(index.VerseIndex, 1);
  if (index.VerseIndex > index.VerseCount) index.VerseIndex = 1;
  return ScanToVersePosition(index, reader, index.VerseIndex);
}

std::int16_t FetchRandomChapter(VerseIndex& index, const Settings& settings,
                                UniformRandom& random) {
  // When the chapter has been shown to its end, the next one is drawn first:
  // the draw reads the file itself, and only one reading is open at a time.
  if (index.NextVerse > index.ChapterVerseCount) DrawChapter(index, settings, random);
  VerseFileReader reader(settings.VerseFilePath);
  ReadToHeading(index, reader, index.ChapterPick);
  // The walk trusts the heading's count and does not look for headings.
  std::int16_t verse = HasNoOpeningLine(index.ChapterPick) ? 1 : 0;
  std::string_view line;
  while (verse <= index.NextVerse) {
    verse = Add16(verse, 1);
    line = reader.ReadLine();
  }
  index.VerseText = LineToUtf8(line);
  verse = index.NextVerse;
  index.NextVerse = Add16(index.NextVerse, 1);
  return verse;
}

std::int16_t FetchRandomVerse(VerseIndex& index, const Settings& settings,
                              UniformRandom& random) {
  VerseFileReader reader(settings.VerseFilePath);
  const std::int16_t k = random.Draw(index.VersesLeft);
  index.VerseIndex = At(index.VerseOrder, k);
  const std::int16_t verse = ScanToVersePosition(index, reader, index.VerseIndex);
  std::swap(At(index.VerseOrder, k), At(index.VerseOrder, index.VersesLeft));
  index.VersesLeft = Sub16(index.VersesLeft, 1);
  if (index.VersesLeft == 0) {
    index.VersesLeft = index.VerseCount;
    ResetOrders(index);
  }
  return verse;
}

}  // namespace

bool IsHeadingLine(std::string_view line) { return line.find('*') != std::string_view::npos; }

ChapterHeading ParseChapterHeading(std::string_view line) {
  const std::string_view inner = DropDelimiters(TrimSpaces(line));
  const std::size_t a = inner.find('-');
  if (a == std::string_view::npos) RaiseInvalidArgument();
  ChapterHeading heading;
  heading.name = std::string(TrimSpaces(inner.substr(0, a)));
  const std::size_t b = inner.find('-', a + 1);
  if (b == std::string_view::npos) RaiseInvalidArgument();
  heading.number = TextToNumber16(TrimSpaces(inner.substr(a + 1, b - a - 1)));
  heading.verseCount = TextToNumber16(TrimSpaces(inner.substr(b + 1)));
  return heading;
}

std::string BuildDisplayText(std::string_view verseLine, std::string_view chapterName,
                             std::int16_t verseNumber, std::string_view lineBreak) {
  std::string text(TrimSpaces(verseLine));
  text += lineBreak;
  text += '(';
  text += chapterName;
  text += ':';
  text += NumberToText(verseNumber);
  text += ") ";
  return text;
}

void ResetOrders(VerseIndex& index) {
  for (std::int16_t i = 1; i <= index.VerseCount; i = Add16(i, 1)) At(index.VerseOrder, i) = i;
  for (std::int16_t i = 1; i <= kChapterCount; i = Add16(i, 1)) At(index.ChapterOrder, i) = i;
}

void PrepareVerseSource(VerseIndex& index, const Settings& settings, UniformRandom& random) {
  index.VerseCount = kVerseLineCount;
  index.VersesLeft = kVerseLineCount;
  index.ChaptersLeft = kChapterCount;
  random.Seed();
  index.VerseOrder.assign(static_cast<std::size_t>(index.VerseCount) + 1, 0);
  ResetOrders(index);
  DrawChapter(index, settings, random);
}

void FetchNextVerse(VerseIndex& index, std::int16_t selectionCode, const Settings& settings,
                    UniformRandom& random) {
  std::int16_t verse = 1;
  switch (selectionCode) {
    case kFromBeginingToEnd:
      verse = FetchFromBeginingToEnd(index, settings);
      break;
    case kRandomChapter:
      verse = FetchRandomChapter(index, settings, random);
      break;
    default:
      // Random Verse, and any code a hand-edited store may hold: Random Verse
      // is what the saver shows when nothing is stored.
      verse = FetchRandomVerse(index, settings, random);
      break;
  }
  index.VerseText = BuildDisplayText(index.VerseText, index.ChapterName, verse, settings.LineBreak);
}

void DrawChapter(VerseIndex& index, const Settings& settings, UniformRandom& random) {
  const std::int16_t k = random.Draw(index.ChaptersLeft);
  index.ChapterPick = At(index.ChapterOrder, k);
  index.NextVerse = HasNoOpeningLine(index.ChapterPick) ? 1 : 0;
  ChapterHeading heading;
  {
    VerseFileReader reader(settings.VerseFilePath);
    heading = ReadToHeading(index, reader, index.ChapterPick);
  }
  std::swap(At(index.ChapterOrder, k), At(index.ChapterOrder, index.ChaptersLeft));
  index.ChaptersLeft = Sub16(index.ChaptersLeft, 1);
  if (index.ChaptersLeft == 0) {
    index.ChaptersLeft = kChapterCount;
    ResetOrders(index);
  }
  index.ChapterVerseCount = heading.verseCount;
}

}  // namespace velun
