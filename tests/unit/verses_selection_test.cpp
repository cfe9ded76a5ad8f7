// The three verse orders, the chapter draw and the display text, driven
// through PrepareVerseSource and FetchNextVerse as the saver drives them.
#include <gtest/gtest.h>

#include <cstdio>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "startup/failure.h"
#include "verses/verse_source.h"
#include "verses_layout_file.h"

namespace velun {
namespace {

using testing::DisplayOf;
using testing::FailureOf;
using testing::JoinLines;
using testing::LayoutCounts;
using testing::LayoutLines;
using testing::SettingsFor;
using testing::WriteBytes;

// (chapter, verse) of every verse line of the layout file, in file order.
std::vector<std::pair<int, int>> VersePositions() {
  const std::vector<int> counts = LayoutCounts();
  std::vector<std::pair<int, int>> positions;
  for (int c = 1; c <= kChapterCount; ++c)
    for (int v = testing::HasOpeningLine(c) ? 0 : 1; v <= counts[c]; ++v) positions.emplace_back(c, v);
  return positions;
}

// The chapter and verse a display text of the layout file shows; checks that
// its reference names the same chapter and verse as its line.
std::pair<int, int> Shown(const std::string& display) {
  int chapter = 0, verse = 0;
  EXPECT_EQ(std::sscanf(display.c_str(), "verse %d:%d", &chapter, &verse), 2) << display;
  EXPECT_EQ(display, DisplayOf(chapter, verse));
  return {chapter, verse};
}

class VerseOrders : public ::testing::Test {
 protected:
  void SetUp() override {
    settings_ = SettingsFor(WriteBytes("finalvelun.txt", JoinLines(LayoutLines(), "\r\n")));
  }
  void Prepare(std::uint64_t seed = 7) {
    random_ = UniformRandom(UniformRandom::FixedSeed(seed));
    PrepareVerseSource(index_, settings_, random_);
  }
  std::pair<int, int> Fetch(std::int16_t code) {
    FetchNextVerse(index_, code, settings_, random_);
    return Shown(index_.VerseText);
  }

  Settings settings_;
  UniformRandom random_{UniformRandom::FixedSeed(7)};
  VerseIndex index_;
};

TEST_F(VerseOrders, PrepareSetsTheIndexUpAndDrawsTheFirstChapter) {
  int seeds = 0;
  random_ = UniformRandom([&seeds] { ++seeds; return std::uint64_t{99}; });
  PrepareVerseSource(index_, settings_, random_);
  EXPECT_EQ(seeds, 1);
  EXPECT_EQ(index_.VerseCount, 6348);
  EXPECT_EQ(index_.VersesLeft, 6348);
  EXPECT_EQ(index_.ChaptersLeft, 113);  // the draw at load is the first of the pass
  ASSERT_EQ(index_.VerseOrder.size(), 6349u);
  for (int i = 1; i <= 6348; ++i) ASSERT_EQ(index_.VerseOrder[i], i);
  const int pick = index_.ChapterPick;
  EXPECT_EQ(index_.ChapterOrder[114], pick);  // the drawn chapter left the live part
  EXPECT_EQ(index_.ChapterNumber, pick);
  EXPECT_EQ(index_.ChapterName, testing::ChapterNameOf(pick));
  EXPECT_EQ(index_.ChapterVerseCount, LayoutCounts()[pick]);
  EXPECT_EQ(index_.NextVerse, testing::HasOpeningLine(pick) ? 0 : 1);
  for (int i = 0; i < 20; ++i) Fetch(kRandomVerse);
  EXPECT_EQ(seeds, 1);  // seeded once, at load
}

TEST_F(VerseOrders, FromBeginingToEndShowsEveryLineInFileOrderThenStartsAgain) {
  Prepare();
  const auto positions = VersePositions();
  ASSERT_EQ(positions.size(), 6348u);
  for (std::size_t p = 0; p < positions.size(); ++p)
    ASSERT_EQ(Fetch(kFromBeginingToEnd), positions[p]) << "position " << p + 1;
  EXPECT_EQ(Fetch(kFromBeginingToEnd), std::make_pair(1, 1));
  EXPECT_EQ(index_.VerseIndex, 1);
}

TEST_F(VerseOrders, RandomVerseShowsNoLineTwiceWithinAPassThenStartsANewPass) {
  Prepare();
  std::set<std::pair<int, int>> shown;
  for (int i = 0; i < 6348; ++i) {
    ASSERT_TRUE(shown.insert(Fetch(kRandomVerse)).second) << "repeat at draw " << i + 1;
    ASSERT_EQ(index_.VersesLeft, i == 6347 ? 6348 : 6347 - i);
  }
  EXPECT_EQ(shown.size(), 6348u);  // every line, opening lines included
  for (int i = 1; i <= 6348; ++i) ASSERT_EQ(index_.VerseOrder[i], i);
  std::set<std::pair<int, int>> nextPass;
  for (int i = 0; i < 200; ++i) ASSERT_TRUE(nextPass.insert(Fetch(kRandomVerse)).second);
  EXPECT_EQ(index_.VersesLeft, 6348 - 200);
}

TEST_F(VerseOrders, RandomChapterWalksEachChapterWholeAndDrawsNoChapterTwiceInAPass) {
  Prepare(12345);
  const std::vector<int> counts = LayoutCounts();
  std::vector<std::vector<int>> walks;  // verses shown, chapter by chapter
  std::vector<int> chapters;
  for (int i = 0; i < 6348; ++i) {
    const auto [chapter, verse] = Fetch(kRandomChapter);
    if (chapters.empty() || chapters.back() != chapter) {
      chapters.push_back(chapter);
      walks.emplace_back();
    }
    walks.back().push_back(verse);
  }
  ASSERT_EQ(chapters.size(), 114u);
  EXPECT_EQ(std::set<int>(chapters.begin(), chapters.end()).size(), 114u);
  for (std::size_t w = 0; w < walks.size(); ++w) {
    const int c = chapters[w];
    std::vector<int> expected;
    for (int v = testing::HasOpeningLine(c) ? 0 : 1; v <= counts[c]; ++v) expected.push_back(v);
    EXPECT_EQ(walks[w], expected) << "chapter " << c;
  }
  // The pass is used up: the next chapter opens a new one.
  EXPECT_EQ(index_.ChaptersLeft, 114);
  Fetch(kRandomChapter);
  EXPECT_EQ(index_.ChaptersLeft, 113);
}

TEST_F(VerseOrders, ACodeOutsideTheTableFetchesAsRandomVerse) {
  Prepare(5);
  VerseIndex other;
  UniformRandom otherRandom(UniformRandom::FixedSeed(5));
  PrepareVerseSource(other, settings_, otherRandom);
  for (int i = 0; i < 30; ++i) {
    FetchNextVerse(other, kRandomVerse, settings_, otherRandom);
    const std::int16_t code = i % 2 ? 7 : 0;
    FetchNextVerse(index_, code, settings_, random_);
    ASSERT_EQ(index_.VerseText, other.VerseText);
  }
  EXPECT_EQ(index_.VersesLeft, 6348 - 30);
}

TEST(DisplayText, TrimmedLineThenLineBreakThenReference) {
  EXPECT_EQ(BuildDisplayText("  two  words  ", "Name", 12, "\r\n"), "two  words\r\n(Name:12) ");
  EXPECT_EQ(BuildDisplayText("x", "N", 0, "\r\n"), "x\r\n(N:0) ");
}

// Layout lines with the verse line at a position replaced, or a heading changed.
std::vector<std::string> LinesWith(std::size_t lineIndex, const std::string& text) {
  auto lines = LayoutLines();
  lines.at(lineIndex) = text;
  return lines;
}

TEST(VerseFileVariants, LineEndsEncodingsAndOuterSpacesGiveTheSameVerses) {
  const auto positions = VersePositions();
  for (const std::string prefix : {"", "\xEF\xBB\xBF"}) {
    for (const std::string lineEnd : {"\r\n", "\n", "\r"}) {
      auto lines = LayoutLines();
      lines[1] = "   " + lines[1] + "  ";
      Settings settings = SettingsFor(WriteBytes("variant.txt", prefix + JoinLines(lines, lineEnd)));
      VerseIndex index;
      UniformRandom random(UniformRandom::FixedSeed(1));
      PrepareVerseSource(index, settings, random);
      for (std::size_t p = 0; p < 300; ++p) {
        FetchNextVerse(index, kFromBeginingToEnd, settings, random);
        ASSERT_EQ(index.VerseText, DisplayOf(positions[p].first, positions[p].second))
            << "line end " << lineEnd.size() << " bytes, mark " << prefix.size();
      }
    }
  }
  // A Windows-1256 heading and verse line ("salam") show as UTF-8.
  auto lines = LinesWith(0, "*\xD3\xE1\xC7\xE3 - 1 - " + std::to_string(LayoutCounts()[1]) + "*");
  lines[1] = "\xD3\xE1\xC7\xE3 \xA1";
  Settings settings = SettingsFor(WriteBytes("cp1256.txt", JoinLines(lines, "\r\n")));
  VerseIndex index;
  UniformRandom random(UniformRandom::FixedSeed(1));
  PrepareVerseSource(index, settings, random);
  FetchNextVerse(index, kFromBeginingToEnd, settings, random);
  const std::string salam = "\xD8\xB3\xD9\x84\xD8\xA7\xD9\x85";
  EXPECT_EQ(index.VerseText, salam + " \xD8\x8C\r\n(" + salam + ":1) ");
}

TEST(VerseFileFailures, EachFaultStopsWithItsNumber) {
  const std::vector<int> counts = LayoutCounts();
  const auto prepareAndFetch = [](const std::vector<std::string>& lines, int fetches,
                                  std::int16_t startIndex = 0) {
    Settings settings = SettingsFor(WriteBytes("faulty.txt", JoinLines(lines, "\r\n")));
    VerseIndex index;
    UniformRandom random(UniformRandom::FixedSeed(3));
    PrepareVerseSource(index, settings, random);
    index.VerseIndex = startIndex;
    for (int i = 0; i < fetches; ++i) FetchNextVerse(index, kFromBeginingToEnd, settings, random);
  };
  // Missing file: met at load.
  EXPECT_EQ(FailureOf([] {
              VerseIndex index;
              UniformRandom random(UniformRandom::FixedSeed(1));
              PrepareVerseSource(index, SettingsFor("/no/such/folder/finalvelun.txt"), random);
            }),
            53);
  // Fewer verse lines than the counts promise: the last chapter's lines are gone.
  auto shortFile = LayoutLines();
  shortFile.resize(shortFile.size() - static_cast<std::size_t>(counts[114]) - 1);
  EXPECT_EQ(FailureOf([&] { prepareAndFetch(shortFile, 1, 6340); }), 62);
  // A verse line with "*" is read as a heading that does not parse, by the
  // first reading that passes it: here position 6347, in the last chapter.
  const auto starred = LinesWith(LayoutLines().size() - 2, "verse * 114:x");
  EXPECT_EQ(FailureOf([&] { prepareAndFetch(starred, 1, 6345); }), 0);
  EXPECT_EQ(FailureOf([&] { prepareAndFetch(starred, 2, 6345); }), 5);
  // The first heading is read at load, whatever chapter is drawn.
  EXPECT_EQ(FailureOf([&] { prepareAndFetch(LinesWith(0, "*Name 1 - x - 5*"), 0); }), 13);
  EXPECT_EQ(FailureOf([&] { prepareAndFetch(LinesWith(0, "*Name 1 - 1 - 40000*"), 0); }), 6);
  EXPECT_EQ(FailureOf([&] { prepareAndFetch(LinesWith(2, std::string(40000, 'v')), 2); }), 6);
}

TEST(VerseFileFailures, AChapterDrawPastTheLastHeadingIs62) {
  auto lines = LayoutLines();
  lines.resize(20);  // two headings at most
  Settings settings = SettingsFor(WriteBytes("few.txt", JoinLines(lines, "\r\n")));
  VerseIndex index;
  UniformRandom random(UniformRandom::FixedSeed(1));
  index.VerseCount = 6348;
  index.VerseOrder.assign(6349, 0);
  ResetOrders(index);
  index.ChaptersLeft = 1;
  index.ChapterOrder[1] = 114;
  EXPECT_EQ(FailureOf([&] { DrawChapter(index, settings, random); }), 62);
  index.ChapterOrder[1] = 1;
  EXPECT_EQ(FailureOf([&] { DrawChapter(index, settings, random); }), 0);
  EXPECT_EQ(index.ChapterPick, 1);
  EXPECT_EQ(index.ChaptersLeft, 114);  // the pass was used up and starts again
}

}  // namespace
}  // namespace velun
