#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "saver_harness.h"

namespace velun {
namespace {

using testing::DisplayTextAt;
using testing::SaverHarness;

// The events of the log that start with the given prefix, in order.
std::vector<std::string> EventsStartingWith(const fakes::EventLog& log, const std::string& prefix) {
  std::vector<std::string> found;
  for (const auto& event : log) {
    if (event.rfind(prefix, 0) == 0) found.push_back(event);
  }
  return found;
}

std::ptrdiff_t IndexOf(const std::vector<std::string>& log, const std::string& event) {
  return std::find(log.begin(), log.end(), event) - log.begin();
}

// A store that notes each write in the system's event log, so that the save
// can be placed among the unload's other steps.
class NotingStore : public MemorySettingsStore {
 public:
  explicit NotingStore(std::vector<std::string>& events) : events_(events) {}
  void Write(const std::string& application, const std::string& section, const std::string& key,
             const std::string& text) override {
    MemorySettingsStore::Write(application, section, key, text);
    events_.push_back("save " + key);
  }

 private:
  std::vector<std::string>& events_;
};

TEST(SaverWindow, ControlsGetTheirPropertiesAtCreation) {
  SaverHarness saver;
  const auto& screen = saver.screen;
  EXPECT_EQ(screen.label1.fontName, "Traditional Arabic");
  EXPECT_FLOAT_EQ(screen.label1.fontSize, 16.2f);
  EXPECT_EQ(screen.label1.charset, 178);
  EXPECT_EQ(screen.lblFrozen.caption, "Velun Saver is frozen.  Hit s to continue");
  EXPECT_EQ(screen.lblFrozen.left, 0);
  EXPECT_EQ(screen.lblFrozen.top, 0);
  EXPECT_EQ(screen.lblFrozen.Width(), 2820);
  EXPECT_EQ(screen.lblFrozen.Height(), 195);
  EXPECT_FALSE(screen.lblFrozen.visible);
  EXPECT_EQ(screen.timer1.interval, 10000);
  EXPECT_TRUE(screen.timer1.enabled);
  EXPECT_EQ(screen.timer2.interval, 1);
  EXPECT_TRUE(screen.timer2.enabled);
  EXPECT_EQ(saver.form.MaxLineWidth, 0);
  EXPECT_FALSE(saver.form.MouseRecorded);
}

TEST(SaverWindow, LoadCoversTheScreenAndShowsTheFirstVerseBeforeAnyTick) {
  SaverHarness saver;
  saver.program.settings.VerseSelectionType = kFromBeginingToEnd;
  saver.program.settings.AnimationType = kPopOnScreen;
  saver.program.settings.TimeDelay = 7000;
  saver.Load();
  const auto& screen = saver.screen;

  EXPECT_EQ(screen.window.left, 0);
  EXPECT_EQ(screen.window.top, 0);
  EXPECT_EQ(screen.window.width, 19200);
  EXPECT_EQ(screen.window.height, 15360);
  EXPECT_LE(saver.system.cursorCount, -6);
  EXPECT_EQ(std::count(saver.system.events.begin(), saver.system.events.end(),
                       "ShowCursor(false)"),
            6);
  EXPECT_TRUE(saver.system.screenSaverRunning);
  EXPECT_TRUE(saver.program.screenSaverNoticeGiven);
  EXPECT_EQ(saver.system.events.back(), "notice on");
  EXPECT_EQ(saver.form.VerseCount, 6348);
  EXPECT_EQ(saver.form.Margin, 2000);
  EXPECT_EQ(saver.form.MaxLineWidth, 17200);
  EXPECT_EQ(screen.timer1.interval, 7000);

  // The first verse of the file is centred and shown, and the verse timer
  // waits a full delay, without any tick having come.
  EXPECT_EQ(screen.timer1.ticks + screen.timer2.ticks, 0);
  EXPECT_EQ(screen.label1.caption,
            saver.form.WrapVerseText(DisplayTextAt(1), saver.form.MaxLineWidth));
  EXPECT_EQ(saver.form.VerseIndex, 1);
  EXPECT_TRUE(screen.label1.visible);
  EXPECT_EQ(screen.label1.left, saver.form.TargetLeft);
  EXPECT_EQ(screen.label1.top, saver.form.TargetTop);
  EXPECT_TRUE(screen.timer1.enabled);
  EXPECT_FALSE(screen.timer2.enabled);
  EXPECT_FALSE(saver.program.ended);
}

TEST(SaverWindow, CursorIsHiddenToMinusSixWhateverItsCountWas) {
  for (const int start : {0, 3, -5, -6, -20}) {
    SaverHarness saver;
    saver.system.cursorCount = start;
    saver.Load();
    const int calls = static_cast<int>(std::count(saver.system.events.begin(),
                                                  saver.system.events.end(), "ShowCursor(false)"));
    EXPECT_EQ(saver.system.cursorCount, std::min(-6, start - 1)) << start;
    EXPECT_EQ(calls, std::max(1, start + 6)) << start;
  }
}

TEST(SaverWindow, FontGoesToTheLabelPropertyByPropertyAndTheWindowTakesWhatTheLabelUses) {
  SaverHarness saver;
  auto& settings = saver.program.settings;
  settings.FontName = "Missing Face";
  settings.FontSize = 31;
  settings.FontBold = true;
  settings.FontUnderline = true;
  settings.FontColor = 0x00FF00;
  // This platform has no "Missing Face" and gives sizes in whole even points.
  saver.screen.fontRules.nameInEffect = [](const std::string& name) {
    return name == "Missing Face" ? std::string("Arial") : name;
  };
  saver.screen.fontRules.sizeInEffect = [](float points) {
    return 2 * static_cast<float>(static_cast<int>(points / 2));
  };
  saver.Load();

  const std::vector<std::string> expected = {
      "Label1.FontName=Missing Face", "Label1.FontSize=31",         "Label1.FontBold=true",
      "Label1.FontItalic=false",      "Label1.FontStrikethru=false", "Label1.FontUnderline=true",
      "Label1.ForeColor=65280",       "window.FontName=Arial",       "window.FontSize=30",
      "window.FontBold=true",         "window.FontItalic=false",     "window.FontStrikethru=false",
      "window.FontUnderline=true"};
  std::vector<std::string> fontEvents;
  for (const auto& event : saver.screen.events) {
    if (event.find(".Font") != std::string::npos || event.find(".ForeColor") != std::string::npos) {
      fontEvents.push_back(event);
    }
  }
  // The first two are the label's properties at creation.
  ASSERT_GE(fontEvents.size(), 2u);
  fontEvents.erase(fontEvents.begin(), fontEvents.begin() + 2);
  EXPECT_EQ(fontEvents, expected);
  EXPECT_EQ(saver.screen.window.fontName, "Arial");
  EXPECT_FLOAT_EQ(saver.screen.window.fontSize, 30);
  // The verse is measured in the font in effect: 30 points, 300 twips a character.
  EXPECT_FLOAT_EQ(saver.screen.window.MeasureText("ab"), 600);
}

TEST(SaverWindow, MaxLineWidthIsTheScreenLessTheMarginRoundedHalfToEven) {
  for (const auto& [screenWidth, expected] :
       std::vector<std::pair<float, std::int32_t>>{{19200.5f, 17200}, {19201.5f, 17202},
                                                   {1000, -1000}, {2000.25f, 0}}) {
    SaverHarness saver;
    saver.screen.window.screenWidth = screenWidth;
    saver.Load();
    EXPECT_EQ(saver.form.MaxLineWidth, expected) << screenWidth;
    EXPECT_FALSE(saver.program.ended) << screenWidth;  // a narrow screen still shows verses
  }
}

TEST(SaverWindow, FailureDuringTheLoadIsReportedAsFatalWithoutSaving) {
  SaverHarness saver(std::string("/nonexistent/velun/finalvelun.txt"));
  saver.Load();
  ASSERT_EQ(saver.system.messageBoxes.size(), 1u);
  EXPECT_EQ(saver.system.messageBoxes[0].title, "Error");
  EXPECT_EQ(saver.system.messageBoxes[0].style, 16);
  EXPECT_NE(saver.system.messageBoxes[0].text.find("Error Number: 53"), std::string::npos);
  EXPECT_TRUE(saver.program.ended);
  EXPECT_EQ(saver.system.endCount, 1);
  EXPECT_GE(saver.system.cursorCount, 6);
  EXPECT_FALSE(saver.system.screenSaverRunning);  // the notice given at load is taken back
  EXPECT_TRUE(saver.store.writes.empty());
  EXPECT_EQ(saver.form.MaxLineWidth, 0);  // the load stopped at the verse source

  // Nothing runs after the end.
  const auto systemEvents = saver.system.events.size();
  const auto screenEvents = saver.screen.events.size();
  saver.Key('A');
  saver.Mouse(1, 1);
  saver.Mouse(2, 2);
  saver.screen.timer1.Tick();
  saver.screen.timer2.Tick();
  saver.form.Form_Unload();
  saver.form.VerseCycle();
  EXPECT_EQ(saver.system.events.size(), systemEvents);
  EXPECT_EQ(saver.screen.events.size(), screenEvents);
  EXPECT_EQ(saver.system.endCount, 1);
}

TEST(SaverWindow, FailureInTheFirstVerseCycleIsCaughtByTheLoad) {
  // The first verse line can be read, but with its reference the display
  // text is longer than 16-bit positions allow.
  const std::string path = testing::WriteTempVerseFile(
      "long_first", testing::VerseFileText(1, std::string(32760, 'x')));
  SaverHarness saver(path);
  saver.program.settings.VerseSelectionType = kFromBeginingToEnd;
  saver.Load();
  std::filesystem::remove(path);
  ASSERT_EQ(saver.system.messageBoxes.size(), 1u);
  EXPECT_EQ(saver.system.messageBoxes[0].title, "Error");
  EXPECT_NE(saver.system.messageBoxes[0].text.find("Error Number: 6"), std::string::npos);
  EXPECT_EQ(saver.form.MaxLineWidth, 17200);
  EXPECT_FALSE(saver.screen.label1.visible);  // hidden by the cycle, never shown
  EXPECT_TRUE(saver.screen.label1.caption.empty());
  EXPECT_TRUE(saver.program.ended);
  EXPECT_FALSE(saver.system.screenSaverRunning);
  EXPECT_TRUE(saver.store.writes.empty());
}

// S while no slide runs: the verse stops changing; S again restarts the verse
// timer from a full delay.
TEST(SaverFreeze, SWhileRestingStopsTheVerseTimerAndResumesWithAFullDelay) {
  SaverHarness saver;
  saver.program.settings.AnimationType = kPopOnScreen;
  saver.program.settings.TimeDelay = 3000;
  saver.Load();
  auto& screen = saver.screen;
  screen.Advance(1000);
  saver.Key(83);
  EXPECT_FALSE(screen.timer1.enabled);
  EXPECT_FALSE(screen.timer2.enabled);
  EXPECT_FALSE(saver.form.AnimationFrozen);
  EXPECT_TRUE(screen.lblFrozen.visible);
  const std::string frozenCaption = screen.label1.caption;
  screen.Advance(60000);
  EXPECT_EQ(screen.timer1.ticks, 0);
  EXPECT_EQ(screen.label1.caption, frozenCaption);

  saver.Key(83);
  EXPECT_TRUE(screen.timer1.enabled);
  EXPECT_FALSE(screen.lblFrozen.visible);
  screen.Advance(2999);
  EXPECT_EQ(screen.timer1.ticks, 0);
  screen.Advance(1);
  EXPECT_EQ(screen.timer1.ticks, 1);
  EXPECT_FALSE(saver.program.ended);
}

// S during a slide: the label stops where it is; S again continues the slide
// from there and starts the verse timer at once.
TEST(SaverFreeze, SDuringASlideStopsItWhereItIsAndResumesIt) {
  SaverHarness saver;
  saver.program.settings.AnimationType = kSlideFromTop;
  saver.program.settings.AnimationSpeed = 90;  // 100 twips a tick
  saver.program.settings.TimeDelay = 5000;
  saver.Load();
  auto& screen = saver.screen;
  screen.Advance(3);
  const std::int32_t frozenTop = screen.label1.top;
  EXPECT_EQ(frozenTop, saver.form.SlidePos);

  saver.Key(83);
  EXPECT_TRUE(saver.form.AnimationFrozen);
  EXPECT_FALSE(screen.timer2.enabled);
  EXPECT_FALSE(screen.timer1.enabled);  // not touched
  EXPECT_TRUE(screen.lblFrozen.visible);
  screen.Advance(20000);
  EXPECT_EQ(screen.label1.top, frozenTop);
  EXPECT_EQ(screen.timer1.ticks, 0);

  saver.Key(83);
  EXPECT_FALSE(saver.form.AnimationFrozen);
  EXPECT_TRUE(screen.timer2.enabled);
  EXPECT_TRUE(screen.timer1.enabled);
  EXPECT_FALSE(screen.lblFrozen.visible);
  screen.Advance(1);
  EXPECT_EQ(screen.label1.top, frozenTop + 100);
}

// S once more while the resumed slide still moves: the slide stops, the verse
// timer keeps running, and the next verse comes with the notice still shown.
TEST(SaverFreeze, SDuringAResumedSlideLeavesTheVerseTimerRunning) {
  SaverHarness saver;
  saver.program.settings.AnimationType = kSlideFromLeft;
  saver.program.settings.AnimationSpeed = 0;  // 10 twips a tick: a long slide
  saver.program.settings.TimeDelay = 1000;
  saver.Load();
  auto& screen = saver.screen;
  screen.Advance(5);
  saver.Key(83);  // freeze the slide
  saver.Key(83);  // resume it: the verse timer starts too
  screen.Advance(5);
  saver.Key(83);  // freeze the resumed slide
  EXPECT_TRUE(saver.form.AnimationFrozen);
  EXPECT_FALSE(screen.timer2.enabled);
  EXPECT_TRUE(screen.timer1.enabled);
  EXPECT_TRUE(screen.lblFrozen.visible);
  const std::string firstCaption = screen.label1.caption;

  screen.Advance(995);  // a full delay after the resume
  EXPECT_EQ(screen.timer1.ticks, 1);
  EXPECT_NE(screen.label1.caption, firstCaption);
  EXPECT_TRUE(screen.timer2.enabled);  // the next verse slides in
  EXPECT_TRUE(screen.lblFrozen.visible);
  EXPECT_TRUE(saver.form.AnimationFrozen);

  saver.Key(83);  // stops that slide and hides the notice
  EXPECT_FALSE(screen.timer2.enabled);
  EXPECT_FALSE(screen.lblFrozen.visible);
  EXPECT_TRUE(saver.form.AnimationFrozen);
  EXPECT_FALSE(saver.program.ended);
}

TEST(SaverFreeze, ModifiersWithSActLikeSAndEveryOtherKeyEndsTheSaver) {
  {
    SaverHarness saver;
    saver.program.settings.AnimationType = kPopOnScreen;
    saver.Load();
    saver.Key(83, 1);  // Shift+S
    EXPECT_TRUE(saver.screen.lblFrozen.visible);
    saver.Key(83, 2);  // Ctrl+S
    EXPECT_FALSE(saver.screen.lblFrozen.visible);
    saver.Key(83, 4);  // Alt+S, and held down: every repeat toggles
    saver.Key(83, 4);
    saver.Key(83, 4);
    EXPECT_TRUE(saver.screen.lblFrozen.visible);
    EXPECT_FALSE(saver.program.ended);
    saver.Key(115);  // F4, while frozen
    EXPECT_TRUE(saver.program.ended);
  }
  for (const std::int16_t keyCode : {16, 17, 18, 27, 32, 65, 82, 84, 115}) {
    SaverHarness saver;
    saver.Load();
    saver.Key(keyCode);
    EXPECT_TRUE(saver.program.ended) << keyCode;
    EXPECT_EQ(saver.system.endCount, 1) << keyCode;
  }
}

TEST(SaverMouse, FirstPositionIsRecordedAndOnlyAMoveAwayFromItEnds) {
  SaverHarness saver;
  saver.Load();
  saver.Mouse(0, 0);  // the first event records, even at (0, 0)
  EXPECT_TRUE(saver.form.MouseRecorded);
  saver.Mouse(0, 0);
  EXPECT_FALSE(saver.program.ended);

  SaverHarness moved;
  moved.Load();
  moved.Mouse(4500, 3000);
  EXPECT_EQ(moved.form.LastMouseX, 4500);
  EXPECT_EQ(moved.form.LastMouseY, 3000);
  for (int i = 0; i < 5; ++i) moved.Mouse(4500, 3000);
  EXPECT_FALSE(moved.program.ended);
  moved.Mouse(4501, 3000);  // one twip to the right
  EXPECT_TRUE(moved.program.ended);

  SaverHarness down;
  down.Load();
  down.Mouse(4500, 3000);
  down.Mouse(4500, 3000.5f);
  EXPECT_TRUE(down.program.ended);
  EXPECT_EQ(down.system.endCount, 1);
}

TEST(SaverUnload, WithdrawsTheNoticeShowsTheCursorSavesAllElevenSettingsAndEnds) {
  SaverHarness saver;
  NotingStore store(saver.system.events);
  // A form of its own, on the noting store.
  Form1 form(saver.program, store, saver.system, saver.screen.window, saver.screen.label1,
             saver.screen.lblFrozen, saver.screen.timer1, saver.screen.timer2, saver.random);
  saver.program.settings.AnimationType = kRandomAnimation;
  form.Form_Load();
  saver.system.events.clear();
  RunHandler(saver.program, saver.system, [&] { form.Form_KeyDown(27, 0); });

  const auto& events = saver.system.events;
  ASSERT_FALSE(events.empty());
  EXPECT_EQ(events.front(), "notice off");
  EXPECT_EQ(events.back(), "end");
  const auto firstSave = IndexOf(events, "save Font Name");
  EXPECT_EQ(std::count(events.begin(), events.begin() + firstSave, "ShowCursor(true)"), 12);
  EXPECT_EQ(firstSave, 13);
  EXPECT_EQ(saver.system.cursorCount, 6);
  EXPECT_EQ(static_cast<std::size_t>(firstSave) + 11 + 1, events.size());
  const std::vector<std::string> values = {"Traditional Arabic", "30", "128", "False", "False",
                                           "False", "False", "3", "1000", "600", "10000"};
  ASSERT_EQ(store.writes.size(), 11u);
  for (std::size_t i = 0; i < 11; ++i) {
    EXPECT_EQ(store.values[store.writes[i]], values[i]) << std::get<2>(store.writes[i]);
  }
  EXPECT_FALSE(saver.program.screenSaverNoticeGiven);
  EXPECT_TRUE(saver.program.ended);

  // A second close of the window after the end does nothing.
  form.Form_Unload();
  EXPECT_EQ(saver.system.endCount, 1);
  EXPECT_EQ(store.writes.size(), 11u);
}

// A stored AnimationType outside 1 to 5 and 1000 draws the animation of each
// verse as Random Animation does, and keeps the saver moving.
TEST(SaverMendedFaults, UnknownAnimationTypeDrawsLikeRandomAnimation) {
  for (const std::int16_t stored : {0, 6, 7, -1, 999, 32767}) {
    SaverHarness unknown;
    unknown.program.settings.AnimationType = stored;
    unknown.program.settings.TimeDelay = 1000;
    SaverHarness random;
    random.program.settings.AnimationType = kRandomAnimation;
    random.program.settings.TimeDelay = 1000;
    unknown.Load();
    random.Load();
    for (int second = 0; second < 10; ++second) {
      EXPECT_EQ(unknown.form.AnimationKind, random.form.AnimationKind) << stored;
      EXPECT_GE(unknown.form.AnimationKind, 1);
      EXPECT_LE(unknown.form.AnimationKind, 5);
      unknown.screen.Advance(1000);
      random.screen.Advance(1000);
    }
    EXPECT_GE(unknown.screen.timer1.ticks, 5) << stored;  // verses keep coming
    EXPECT_EQ(unknown.program.settings.AnimationType, stored);
    unknown.Key(27);
    EXPECT_EQ(unknown.store.values[MemorySettingsStore::Key("Velun Saver", "Animation", "type")],
              std::to_string(stored));
  }
}

// A stored TimeDelay of zero or less would stop the verses: the verse timer
// takes 10000 ms, and the stored value is written back unchanged.
TEST(SaverMendedFaults, TimeDelayOfZeroOrLessUsesTenSeconds) {
  for (const std::int32_t stored : {0, -1, -60000}) {
    SaverHarness saver;
    saver.program.settings.TimeDelay = stored;
    saver.program.settings.AnimationType = kPopOnScreen;
    saver.Load();
    EXPECT_EQ(saver.screen.timer1.interval, 10000) << stored;
    saver.screen.Advance(10000);
    EXPECT_EQ(saver.screen.timer1.ticks, 1) << stored;
    saver.Key(27);
    EXPECT_EQ(saver.store.values[MemorySettingsStore::Key("Velun Saver", "Time", "Delay")],
              std::to_string(stored));
  }
  SaverHarness large;
  large.program.settings.TimeDelay = 100000;  // the platform's timer takes it as it is
  large.Load();
  EXPECT_EQ(large.screen.timer1.interval, 100000);
}

TEST(SaverHandlers, RunHandlerReportsAFailureAndThenRunsNothing) {
  SaverHarness saver;
  saver.Load();
  int runs = 0;
  saver.Run([&] {
    ++runs;
    RaiseSubscriptOutOfRange();
  });
  EXPECT_EQ(runs, 1);
  ASSERT_EQ(saver.system.messageBoxes.size(), 1u);
  EXPECT_EQ(saver.system.messageBoxes[0].text, "Run-time error '9':\r\n\r\nSubscript out of range");
  EXPECT_EQ(saver.system.messageBoxes[0].title, "Velun Saver");
  EXPECT_FALSE(saver.system.screenSaverRunning);
  EXPECT_GE(saver.system.cursorCount, 6);
  EXPECT_TRUE(saver.program.ended);
  saver.Run([&] { ++runs; });
  EXPECT_EQ(runs, 1);
  EXPECT_TRUE(saver.store.writes.empty());
}

}  // namespace
}  // namespace velun
