// The verse file as the saver reads it: line ends, encodings, line length,
// heading lines, and the layout check of velun-verses.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "startup/failure.h"
#include "verses/text_encoding.h"
#include "verses/verse_file_check.h"
#include "verses/verse_file_reader.h"
#include "verses/verse_source.h"
#include "verses_layout_file.h"

namespace velun {
namespace {

using testing::FailureOf;
using testing::WriteBytes;

// Every line of a file, read to its end.
std::vector<std::string> ReadAllLines(const std::string& path) {
  VerseFileReader reader(path);
  std::vector<std::string> lines;
  for (;;) {
    try {
      lines.emplace_back(reader.ReadLine());
    } catch (const Failure& failure) {
      EXPECT_EQ(failure.Number(), failures::kInputPastEndOfFile);
      return lines;
    }
  }
}

std::string Repeat(const std::string& piece, std::size_t times) {
  std::string text;
  for (std::size_t i = 0; i < times; ++i) text += piece;
  return text;
}

const std::string kAlif = "\xD8\xA7";  // U+0627 in UTF-8

TEST(VerseFileReading, LinesEndAtCrCrLfOrALoneLf) {
  const auto path = WriteBytes("ends.txt", "one\r\ntwo\rthree\nfour\n\rfive");
  EXPECT_EQ(ReadAllLines(path),
            (std::vector<std::string>{"one", "two", "three", "four", "", "five"}));
  EXPECT_EQ(ReadAllLines(WriteBytes("blank.txt", "\r\n\r\n")), (std::vector<std::string>{"", ""}));
}

TEST(VerseFileReading, ReadingPastTheLastLineIs62) {
  VerseFileReader empty(WriteBytes("empty.txt", ""));
  EXPECT_EQ(FailureOf([&] { empty.ReadLine(); }), 62);
  VerseFileReader one(WriteBytes("one.txt", "only\r\n"));
  EXPECT_EQ(one.ReadLine(), "only");
  EXPECT_EQ(FailureOf([&] { one.ReadLine(); }), 62);
  EXPECT_EQ(FailureOf([&] { one.ReadLine(); }), 62);
}

TEST(VerseFileReading, MissingFileOrFolderIs53AndNonAsciiPathsOpen) {
  EXPECT_EQ(FailureOf([] { VerseFileReader("/no/such/folder/finalvelun.txt"); }), 53);
  EXPECT_EQ(FailureOf([] { VerseFileReader(testing::TestDirectory().string()); }), 53);
  EXPECT_EQ(FailureOf([] { VerseFileReader(""); }), 53);
  const auto path = WriteBytes("\xD8\xA2\xD9\x8A\xD8\xA7\xD8\xAA.txt", "ok\r\n");  // Arabic name
  EXPECT_EQ(ReadAllLines(path), std::vector<std::string>{"ok"});
}

TEST(VerseFileReading, LinesAcrossBlockBoundariesReadWhole) {
  // The file is read in blocks of 64 KiB. Here the first boundary splits a
  // CR LF, and the second one splits a line in the middle of a UTF-8 letter.
  const std::string a(30000, 'a'), b(30000, 'b'), c(5531, 'c');
  std::string bytes = a + "\r\n" + b + "\r\n" + c + "\r\n";
  ASSERT_EQ(bytes[65535], '\r');
  const std::string f(30000, 'f'), g(20000, 'g');
  bytes += "next\r\n" + f + "\r\n" + g + "\r\n";
  const std::string e = std::string(131071 - bytes.size(), 'e') + Repeat(kAlif, 10);
  bytes += e + "\n";
  ASSERT_EQ(bytes.substr(131071, 2), kAlif);
  EXPECT_EQ(ReadAllLines(WriteBytes("blocks.txt", bytes)),
            (std::vector<std::string>{a, b, c, "next", f, g, e}));
}

TEST(VerseFileReading, LinesLongerThan32767CharactersAre6) {
  const auto readFirst = [](const std::string& bytes) {
    VerseFileReader reader(WriteBytes("long.txt", bytes));
    return std::string(reader.ReadLine());
  };
  EXPECT_EQ(readFirst(std::string(32767, 'v') + "\r\n").size(), 32767u);
  EXPECT_EQ(FailureOf([&] { readFirst(std::string(32768, 'v') + "\r\n"); }), 6);
  EXPECT_EQ(FailureOf([&] { readFirst(std::string(40000, 'v') + "\r\nnext\r\n"); }), 6);
  // Characters, not bytes: 32767 Arabic letters take 65534 bytes of UTF-8 ...
  EXPECT_EQ(readFirst(Repeat(kAlif, 32767)), Repeat(kAlif, 32767));
  EXPECT_EQ(FailureOf([&] { readFirst(Repeat(kAlif, 32768)); }), 6);
  // ... while a Windows-1256 line has one byte a character.
  EXPECT_EQ(FailureOf([&] { readFirst(std::string(32768, '\xC7')); }), 6);
  // A line with no end at all is refused once it is known to be too long.
  EXPECT_EQ(FailureOf([&] { readFirst(std::string(3 * 1024 * 1024, 'v')); }), 6);
}

TEST(VerseFileEncoding, Utf8LinesStayAndOtherLinesAreWindows1256) {
  // "salam" in Windows-1256, then in UTF-8.
  EXPECT_EQ(LineToUtf8("\xD3\xE1\xC7\xE3"), "\xD8\xB3\xD9\x84\xD8\xA7\xD9\x85");
  EXPECT_EQ(LineToUtf8("\xD8\xB3\xD9\x84\xD8\xA7\xD9\x85"), "\xD8\xB3\xD9\x84\xD8\xA7\xD9\x85");
  EXPECT_EQ(LineToUtf8("*abc - 1 - 2*"), "*abc - 1 - 2*");
  // Both ends of the table, the Arabic comma, and ASCII kept as it is.
  EXPECT_EQ(Windows1256ToUtf8("\x80 \xA1 \xFF"), "\xE2\x82\xAC \xD8\x8C \xDB\x92");
  // One byte that is not UTF-8 makes the whole line Windows-1256.
  EXPECT_EQ(LineToUtf8("\xD8\xA7\xE1"), "\xD8\xB7\xC2\xA7\xD9\x84");
  for (const char* invalid : {"\xC0\xAF", "\xED\xA0\x80", "\xF4\x90\x80\x80", "\xD8", "\xE2\x82"})
    EXPECT_FALSE(IsValidUtf8(invalid)) << invalid;
  EXPECT_TRUE(IsValidUtf8("\xF0\x9F\x98\x80 \xEF\xBF\xBD"));
  EXPECT_EQ(CountLineCharacters("\xD8\xA7\xD8\xA7" "a"), 3u);
  EXPECT_EQ(CountLineCharacters("\xC7\xC7" "a"), 3u);
}

TEST(VerseFileEncoding, AByteOrderMarkOnTheFirstLineIsDropped) {
  const auto path = WriteBytes("bom.txt", "\xEF\xBB\xBF*\xD8\xA7 - 1 - 2*\r\n\xEF\xBB\xBFx\r\n");
  VerseFileReader reader(path);
  const ChapterHeading heading = ParseChapterHeading(LineToUtf8(reader.ReadLine()));
  EXPECT_EQ(heading.name, kAlif);
  EXPECT_EQ(heading.number, 1);
  // Only the first line's mark is a byte order mark.
  EXPECT_EQ(reader.ReadLine(), "\xEF\xBB\xBFx");
}

TEST(ChapterHeadings, AHeadingIsAnyLineWithAStar) {
  EXPECT_TRUE(IsHeadingLine("*Name - 1 - 7*"));
  EXPECT_TRUE(IsHeadingLine("a verse with a * inside"));
  EXPECT_FALSE(IsHeadingLine("a verse - with dashes - 12"));
  EXPECT_FALSE(IsHeadingLine(""));
}

TEST(ChapterHeadings, SpacesAroundFieldsAreIgnored) {
  for (const char* line : {"*Name - 12 - 7*", "*Name-12-7*", "  * Name  -  12  -  7 *  ",
                           "*Name -12- 7*"}) {
    const ChapterHeading heading = ParseChapterHeading(line);
    EXPECT_EQ(heading.name, "Name") << line;
    EXPECT_EQ(heading.number, 12) << line;
    EXPECT_EQ(heading.verseCount, 7) << line;
  }
  EXPECT_EQ(ParseChapterHeading("*Two words - 3 - 4*").name, "Two words");
  // The first and last characters are dropped whatever they are, a whole
  // Arabic letter included.
  const ChapterHeading arabic = ParseChapterHeading("\xD8\xA8\xD8\xA7 - 5 - 9\xD8\xA8");
  EXPECT_EQ(arabic.name, kAlif);
  EXPECT_EQ(arabic.verseCount, 9);
}

TEST(ChapterHeadings, MalformedHeadingsFailWithTheirNumbers) {
  // Too short to drop both delimiters, or without two "-": 5.
  for (const char* line : {"", "*", "   *   ", "**", "*Name 3 7*", "*Name - 3 7*", "*-*"})
    EXPECT_EQ(FailureOf([&] { ParseChapterHeading(line); }), 5) << '"' << line << '"';
  // A name with "-" splits at its first "-": the number field is not a number.
  EXPECT_EQ(FailureOf([] { ParseChapterHeading("*Al-Name - 3 - 7*"); }), 13);
  EXPECT_EQ(FailureOf([] { ParseChapterHeading("*Name - x - 7*"); }), 13);
  EXPECT_EQ(FailureOf([] { ParseChapterHeading("*Name -  - 7*"); }), 13);
  // Everything after the second "-" is the count.
  EXPECT_EQ(FailureOf([] { ParseChapterHeading("*Name - 3 - 7 - 2*"); }), 13);
  EXPECT_EQ(FailureOf([] { ParseChapterHeading("*Name - 3 - 40000*"); }), 6);
  EXPECT_EQ(FailureOf([] { ParseChapterHeading("*Name - 32768 - 1*"); }), 6);
}

TEST(VerseFileCheck, TheSampleFileIsClean) {
  const VerseFileCheck result = CheckVerseFile(VELUN_SAMPLE_VERSE_FILE);
  for (const auto& problem : result.problems) ADD_FAILURE() << problem.line << ": " << problem.text;
  EXPECT_EQ(result.headings, 114);
  EXPECT_EQ(result.verseLines, 6348);
  EXPECT_EQ(result.lines, 6348 + 114);
}

TEST(VerseFileCheck, TheSampleFileIsArabicUtf8WithCrLfAndFitsWindows1256) {
  std::ifstream file(VELUN_SAMPLE_VERSE_FILE, std::ios::binary);
  const std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  EXPECT_TRUE(IsValidUtf8(bytes));
  EXPECT_NE(bytes.substr(0, 3), "\xEF\xBB\xBF");
  std::size_t crLf = 0, longest = 0, lineStart = 0;
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    if (bytes[i] == '\n') {
      EXPECT_TRUE(i > 0 && bytes[i - 1] == '\r') << "at byte " << i;
    }
    if (bytes[i] != '\r') continue;
    ++crLf;
    longest = std::max(longest, CountLineCharacters(bytes.substr(lineStart, i - lineStart)));
    lineStart = i + 2;
  }
  EXPECT_EQ(crLf, 6348u + 114u);
  EXPECT_GE(longest, 300u);  // some verses need several lines on the screen
  // Every letter is Arabic script (U+0600 to U+06FF) or ASCII layout characters.
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    const auto c = static_cast<unsigned char>(bytes[i]);
    if (c >= 0x80) {
      EXPECT_TRUE(c == 0xD8 || c == 0xD9 || c == 0xDA || c == 0xDB) << "byte " << i;
      ++i;
    }
  }
}

TEST(VerseFileCheck, LayoutFilesWrittenByTheTestsAreClean) {
  const auto path = WriteBytes("layout.txt", testing::JoinLines(testing::LayoutLines(), "\r\n"));
  EXPECT_TRUE(CheckVerseFile(path).Clean());
}

TEST(VerseFileCheck, EveryProblemIsListedWithItsLine) {
  const VerseFileCheck result = CheckVerseFile(std::string(VELUN_TEST_DATA_DIR) + "/verses_faulty.txt");
  std::vector<std::string> found;
  for (const auto& problem : result.problems) found.push_back(std::to_string(problem.line) + ": " + problem.text);
  const auto has = [&](std::int64_t line, const std::string& words) {
    const bool present = std::any_of(result.problems.begin(), result.problems.end(), [&](const auto& p) {
      return p.line == line && p.text.find(words) != std::string::npos;
    });
    EXPECT_TRUE(present) << "no problem at line " << line << " with \"" << words << "\" in\n"
                         << ::testing::PrintToString(found);
  };
  has(6, "\"*\" where verse line 2 of chapter 2");
  has(8, "a heading where verse line 4 of chapter 2");
  has(4, "promises 4 verse lines (opening line included), 3 follow");
  has(8, "chapter number 4 out of order: 3 expected");
  has(8, "promises 2 verse lines (opening line included), 3 follow");
  has(12, "wrong heading syntax");
  has(0, "4 headings, not 114");
  has(0, "9 verse lines, not 6348");
  EXPECT_EQ(result.problems.size(), 8u) << ::testing::PrintToString(found);
  // In file order, the file's totals last.
  EXPECT_EQ(result.problems.front().line, 4);
  EXPECT_EQ(result.problems.back().line, 0);
  EXPECT_EQ(FailureOf([] { CheckVerseFile("/no/such/finalvelun.txt"); }), 53);
}

TEST(VerseFileCheck, ALineTooLongToReadStopsTheCheckAndTheSummaryCountsWhatWasRead) {
  const std::string longLine(40000, 'v');
  const VerseFileCheck result = CheckVerseFile(
      WriteBytes("long.txt", "*Name - 1 - 7*\r\nfirst\r\nsecond\r\n" + longLine + "\r\nafter\r\n"));
  ASSERT_EQ(result.problems.size(), 1u);
  EXPECT_EQ(result.problems[0].line, 4);
  EXPECT_NE(result.problems[0].text.find("checking stops here"), std::string::npos);
  EXPECT_EQ(result.lines, 4);
  EXPECT_EQ(result.headings, 1);
  EXPECT_EQ(result.verseLines, 2);
}

}  // namespace
}  // namespace velun
