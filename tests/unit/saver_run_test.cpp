#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "saver_harness.h"

namespace velun {
namespace {

using testing::SaverHarness;

std::string WithoutBreaksAndSpaces(const std::string& text) {
  std::string kept;
  for (const char c : text) {
    if (c != '\r' && c != '\n' && c != ' ') kept += c;
  }
  return kept;
}

// A whole run on the null platform: load, verses coming and sliding in, a
// freeze, a mouse that stays put, then a move that ends the saver.
TEST(SaverRun, PlaysOutFromLoadToUnload) {
  SaverHarness saver;
  auto& settings = saver.program.settings;
  settings.AnimationType = kRandomAnimation;
  settings.VerseSelectionType = kRandomVerse;
  settings.TimeDelay = 1000;
  auto& screen = saver.screen;
  auto& form = saver.form;

  std::set<std::int16_t> shownPositions{};
  std::set<std::int16_t> kinds;
  int cycles = 0;
  const auto checkVerse = [&] {
    // Every line of the caption fits, or holds a single word.
    for (const auto& line : fakes::FakeMetrics::Lines(screen.label1.caption)) {
      const auto trimmed = line.substr(0, line.find_last_not_of(' ') + 1);
      const bool oneWord = trimmed.find(' ') == std::string::npos;
      EXPECT_TRUE(screen.window.MeasureText(line) < form.MaxLineWidth || oneWord) << line;
    }
    EXPECT_EQ(WithoutBreaksAndSpaces(screen.label1.caption), WithoutBreaksAndSpaces(form.VerseText));
    EXPECT_TRUE(shownPositions.insert(form.VerseIndex).second) << "shown twice in one pass: " << form.VerseIndex;
    kinds.insert(form.AnimationKind);
    EXPECT_TRUE(screen.label1.visible);
  };
  screen.timer1.onTick = [&] {
    saver.Run([&] {
      // The previous verse came to rest before the next one starts.
      EXPECT_EQ(screen.label1.left, form.TargetLeft);
      EXPECT_EQ(screen.label1.top, form.TargetTop);
      EXPECT_FALSE(screen.timer2.enabled);
      ++cycles;
      form.VerseCycle();
      checkVerse();
    });
  };

  saver.Load();
  checkVerse();
  saver.Mouse(4000, 3000);
  screen.Advance(30000);
  EXPECT_GE(cycles, 25);
  EXPECT_GE(kinds.size(), 4u);

  saver.Key(83);  // freeze
  const int frozenAt = cycles;
  const std::string frozenCaption = screen.label1.caption;
  screen.Advance(15000);
  if (form.AnimationFrozen) {
    // Frozen during a slide: the verse timer was off and stays off.
    EXPECT_FALSE(screen.timer1.enabled);
  }
  EXPECT_EQ(cycles, frozenAt);
  EXPECT_EQ(screen.label1.caption, frozenCaption);
  EXPECT_TRUE(screen.lblFrozen.visible);
  saver.Key(83);  // and on again
  EXPECT_FALSE(screen.lblFrozen.visible);
  screen.Advance(5000);
  EXPECT_GE(cycles, frozenAt + 4);

  saver.Mouse(4000, 3000);
  EXPECT_FALSE(saver.program.ended);
  saver.Mouse(4000, 2999);
  EXPECT_TRUE(saver.program.ended);
  EXPECT_EQ(saver.system.endCount, 1);
  EXPECT_GE(saver.system.cursorCount, 6);
  EXPECT_FALSE(saver.system.screenSaverRunning);
  EXPECT_EQ(saver.store.writes.size(), 11u);
  EXPECT_TRUE(saver.system.messageBoxes.empty());

  // Nothing happens after the end, whatever the platform still delivers.
  const auto screenEvents = screen.events.size();
  screen.Advance(5000);
  saver.Key(83);
  EXPECT_EQ(screen.events.size(), screenEvents);
}

TEST(SaverRun, FromBeginingToEndShowsTheFileInOrder) {
  SaverHarness saver;
  saver.program.settings.VerseSelectionType = kFromBeginingToEnd;
  saver.program.settings.AnimationType = kSlideFromRight;
  saver.program.settings.TimeDelay = 1000;
  saver.Load();
  for (int position = 1; position <= 60; ++position) {
    ASSERT_EQ(saver.form.VerseIndex, position);
    ASSERT_EQ(saver.screen.label1.caption,
              saver.form.WrapVerseText(testing::DisplayTextAt(position), saver.form.MaxLineWidth));
    saver.FinishSlide();
    saver.screen.Advance(1000);
  }
  EXPECT_FALSE(saver.program.ended);
}

// The sample verse file, Arabic text in every order: every verse is laid out
// within the screen less the margin, or one word to a line.
TEST(SaverRun, SampleVerseFileRunsInEveryOrder) {
  if (!std::filesystem::exists(VELUN_SAMPLE_VERSE_FILE)) GTEST_SKIP() << "no sample verse file";
  for (const std::int16_t order : {kFromBeginingToEnd, kRandomChapter, kRandomVerse}) {
    SaverHarness saver(VELUN_SAMPLE_VERSE_FILE);
    saver.program.settings.VerseSelectionType = order;
    saver.program.settings.TimeDelay = 1000;
    int verses = 0, broken = 0;
    const auto check = [&] {
      ++verses;
      const auto& caption = saver.screen.label1.caption;
      broken += fakes::FakeMetrics::Lines(caption).size() > 2;
      EXPECT_FALSE(caption.empty());
      EXPECT_NE(caption.back(), ' ');
      for (const auto& line : fakes::FakeMetrics::Lines(caption)) {
        const auto trimmed = line.substr(0, line.find_last_not_of(' ') + 1);
        EXPECT_TRUE(saver.screen.window.MeasureText(line) < saver.form.MaxLineWidth ||
                    trimmed.find(' ') == std::string::npos)
            << line;
      }
    };
    saver.screen.timer1.onTick = [&] {
      saver.Run([&] {
        saver.form.VerseCycle();
        check();
      });
    };
    saver.Load();
    check();
    saver.screen.Advance(60000);
    EXPECT_FALSE(saver.program.ended) << order;
    EXPECT_GE(verses, 50) << order;
    EXPECT_GT(broken, 0) << order;  // some verses are wider than the screen
  }
}

// The verse file removed while the saver runs: the next cycle ends the
// program with the standard report, the notice withdrawn and the cursor shown.
TEST(SaverRun, VerseFileRemovedBetweenCyclesEndsWithTheUnhandledFailureReport) {
  const std::string path = testing::WriteTempVerseFile("removed", testing::VerseFileText());
  SaverHarness saver(path);
  saver.program.settings.AnimationType = kPopOnScreen;
  saver.program.settings.TimeDelay = 2000;
  saver.Load();
  saver.screen.Advance(2000);
  ASSERT_EQ(saver.screen.timer1.ticks, 1);
  ASSERT_FALSE(saver.program.ended);
  std::filesystem::remove(path);
  const std::string lastCaption = saver.screen.label1.caption;

  saver.screen.Advance(2000);
  ASSERT_EQ(saver.system.messageBoxes.size(), 1u);
  EXPECT_EQ(saver.system.messageBoxes[0].text, "Run-time error '53':\r\n\r\nFile not found");
  EXPECT_EQ(saver.system.messageBoxes[0].title, "Velun Saver");
  EXPECT_EQ(saver.system.messageBoxes[0].style, 16);
  EXPECT_TRUE(saver.program.ended);
  EXPECT_EQ(saver.system.endCount, 1);
  EXPECT_FALSE(saver.system.screenSaverRunning);
  EXPECT_FALSE(saver.program.screenSaverNoticeGiven);
  EXPECT_GE(saver.system.cursorCount, 6);
  // The notice goes before the message box appears, with the cursor shown.
  const auto& events = saver.system.events;
  const auto box = std::find(events.begin(), events.end(), "message box");
  EXPECT_NE(std::find(events.begin(), box, "notice off"), box);
  EXPECT_TRUE(saver.store.writes.empty());
  EXPECT_FALSE(saver.screen.timer1.enabled);  // the cycle stopped after disabling it
  EXPECT_EQ(saver.screen.label1.caption, lastCaption);
  saver.screen.Advance(10000);
  EXPECT_EQ(saver.system.messageBoxes.size(), 1u);
}

}  // namespace
}  // namespace velun
