#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "saver/verse_layout.h"
#include "startup/conversions.h"
#include "startup/failure.h"

namespace velun {
namespace {

// 100 twips a character; CR LF separates lines, the widest counts.
float Measure(const std::string& text) {
  float widest = 0, current = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text.compare(i, 2, "\r\n") == 0) {
      current = 0;
      ++i;
      continue;
    }
    if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) current += 100;
    widest = std::max(widest, current);
  }
  return widest;
}

std::string Wrap(const std::string& text, std::int32_t limit) {
  return WrapVerseText(text, limit, Measure);
}

TEST(WrapVerseText, TextThatFitsLosesOnlyItsOuterSpaces) {
  EXPECT_EQ(Wrap("aa bb cc ", 901), "aa bb cc");
  EXPECT_EQ(Wrap("  aa  bb ", 5000), "aa  bb");
  EXPECT_EQ(Wrap("", 1), "");
}

TEST(WrapVerseText, TextExactlyAsWideAsTheLimitIsBroken) {
  // "aa bb cc " is 900 wide: at 900 it does not fit, and neither does its
  // prefix up to the last space, so the break goes after "bb ".
  EXPECT_EQ(Wrap("aa bb cc ", 900), "aa bb \r\ncc");
  // At 600 the prefix "aa bb " is exactly as wide and does not fit either.
  EXPECT_EQ(Wrap("aa bb cc ", 600), "aa \r\nbb \r\ncc");
}

TEST(WrapVerseText, ThreeWordsWhoseFirstTwoFitBreakBeforeTheThird) {
  EXPECT_EQ(Wrap("one two three ", 1000), "one two \r\nthree");
}

TEST(WrapVerseText, TwoLinesThatEachFitStayTogether) {
  // 19 and 14 characters: the whole measures as its widest line, 1900.
  const std::string text = "aaaa bbbb cccc dddd\r\n(Chapter 1:1) ";
  EXPECT_EQ(Wrap(text, 1901), "aaaa bbbb cccc dddd\r\n(Chapter 1:1)");
  // Exactly as wide as the verse line: broken, and the prefix that runs past
  // the line break measures as the verse line too, so the break is before it.
  EXPECT_EQ(Wrap(text, 1900), "aaaa bbbb cccc \r\ndddd\r\n(Chapter 1:1)");
}

TEST(WrapVerseText, ReferenceThatDoesNotFitBreaksAtASpaceOfTheChapterName) {
  const std::string text = "aa bb\r\n(The Long Name:12) ";
  EXPECT_EQ(Wrap(text, 1500), "aa bb\r\n(The Long \r\nName:12)");
}

TEST(WrapVerseText, OverLongWordStandsOnItsOwnLine) {
  EXPECT_EQ(Wrap("abcdefghij kl mn ", 500), "abcdefghij \r\nkl \r\nmn");
  EXPECT_EQ(Wrap("kl abcdefghij mn ", 500), "kl \r\nabcdefghij \r\nmn");
  // The last word, without a space after it, is simply the last line.
  EXPECT_EQ(Wrap("kl abcdefghij", 500), "kl \r\nabcdefghij");
  EXPECT_EQ(Wrap("abcdefghij", 500), "abcdefghij");
  // A verse word followed by a reference too wide for the limit.
  EXPECT_EQ(Wrap("aa\r\n(Name:1) ", 300), "aa\r\n(Name:1)");
}

TEST(WrapVerseText, NoWidthAtAllPutsEveryWordOnALineOfItsOwn) {
  for (const std::int32_t limit : {0, -1, -2000}) {
    EXPECT_EQ(Wrap("aa bb cc ", limit), "aa \r\nbb \r\ncc") << limit;
    EXPECT_EQ(Wrap("  aa bb", limit), "  aa \r\nbb") << limit;
    EXPECT_EQ(Wrap("   ", limit), "") << limit;
    EXPECT_EQ(Wrap("", limit), "") << limit;
  }
}

TEST(WrapVerseText, MeasuresWholePrefixesAndStopsAtTheFirstThatDoesNotFit) {
  std::vector<std::string> measured;
  const auto recording = [&measured](const std::string& text) {
    measured.push_back(text);
    return Measure(text);
  };
  EXPECT_EQ(WrapVerseText("aa bb cc dd ", 700, recording), "aa bb \r\ncc dd");
  const std::vector<std::string> expected = {"aa bb cc dd ", "aa ", "aa bb ", "aa bb cc ",
                                             "cc dd "};
  EXPECT_EQ(measured, expected);
}

TEST(WrapVerseText, UsesTheLineBreakItIsGiven) {
  EXPECT_EQ(WrapVerseText("aa bb ", 300, Measure, "|"), "aa |bb");
}

TEST(WrapVerseText, PositionsAreSixteenBitCharacters) {
  const std::string longest(32766, 'a');
  EXPECT_EQ(Wrap(longest + " ", 1), longest);  // 32767 characters
  try {
    Wrap(longest + "  ", 1);
    ADD_FAILURE() << "32768 characters were taken";
  } catch (const Failure& failure) {
    EXPECT_EQ(failure.Number(), failures::kOverflow);
  }
  // Characters, not bytes: 20000 Arabic letters are 40000 bytes.
  std::string arabic;
  for (int i = 0; i < 20000; ++i) arabic += "\xD8\xA8";
  EXPECT_NO_THROW(Wrap(arabic, 1));
}

// Random texts of words and spaces under random limits: the result is the
// whole text, every broken line ends with its space, and it either fits or
// holds one word alone.
TEST(WrapVerseText, AlwaysKeepsTheWholeTextAndBreaksOnlyWhereAllowed) {
  std::mt19937 engine(7);
  for (int round = 0; round < 2000; ++round) {
    std::string text;
    const int pieces = static_cast<int>(engine() % 12);
    for (int i = 0; i < pieces; ++i) {
      text += std::string(engine() % 3, ' ');
      text += std::string(engine() % 9, static_cast<char>('a' + i));
    }
    const std::int32_t limit = static_cast<std::int32_t>(engine() % 1600) - 100;
    const std::string result = Wrap(text, limit);

    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t found; (found = result.find("\r\n", start)) != std::string::npos;
         start = found + 2) {
      lines.push_back(result.substr(start, found - start));
    }
    const std::string last = result.substr(start);
    std::string joined;
    for (const auto& line : lines) {
      joined += line;
      ASSERT_FALSE(line.empty());
      ASSERT_EQ(line.back(), ' ') << text;
      const auto wordStart = line.find_first_not_of(' ');
      const bool oneWord = wordStart != std::string::npos &&
                           line.find(' ', wordStart) == line.size() - 1;
      ASSERT_TRUE(Measure(line) < limit || oneWord) << "[" << line << "] of [" << text << "]";
    }
    ASSERT_TRUE(last.empty() || (last.front() != ' ' && last.back() != ' ')) << text;
    // The text comes back but for the last piece's outer spaces.
    ASSERT_EQ(text.compare(0, joined.size(), joined), 0) << text;
    ASSERT_EQ(TrimSpaces(std::string_view(text).substr(joined.size())), last) << text;
  }
}

}  // namespace
}  // namespace velun
