#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "saver_harness.h"

namespace velun {
namespace {

using testing::SaverHarness;

// A form whose label holds a caption of known size, ready for StartAnimation
// without a load: 1-point font, so 10 twips a character and 20 a line.
struct Stage {
  SaverHarness saver;
  Form1& form = saver.form;
  fakes::FakeScreen& screen = saver.screen;

  Stage(float screenWidth, float screenHeight, const std::string& caption,
        std::int16_t speed = 600) {
    screen.window.screenWidth = screenWidth;
    screen.window.screenHeight = screenHeight;
    screen.label1.fontSize = 1;
    screen.label1.caption = caption;
    saver.program.settings.AnimationSpeed = speed;
    screen.timer1.enabled = false;  // as the verse cycle leaves it
    screen.timer2.enabled = false;
  }
  void Start(std::int16_t kind) {
    form.AnimationKind = kind;
    form.StartAnimation();
  }
};

TEST(StartAnimation, CentresTheLabelRoundingHalvesToEven) {
  // Label "abc": 30 wide, 20 high.
  Stage odd(37, 27, "abc");  // differences of 7: 3.5 gives 4
  odd.Start(kPopOnScreen);
  EXPECT_EQ(odd.form.TargetLeft, 4);
  EXPECT_EQ(odd.form.TargetTop, 4);
  Stage even(35, 25, "abc");  // differences of 5: 2.5 gives 2
  even.Start(kPopOnScreen);
  EXPECT_EQ(even.form.TargetLeft, 2);
  EXPECT_EQ(even.form.TargetTop, 2);
  Stage tall(1000, 50, "a\r\nb\r\nc\r\nd\r\ne");  // 100 high on a 50-high screen
  tall.Start(kPopOnScreen);
  EXPECT_EQ(tall.form.TargetTop, -25);
  EXPECT_EQ(tall.screen.label1.top, -25);
}

TEST(StartAnimation, SlidesStartJustOffTheirEdgeWithOnlyTheAnimationTimerOn) {
  struct Case {
    std::int16_t kind;
    std::int32_t left, top;
  };
  // Screen 1000 x 800, label "abcd\r\nef" 40 wide and 40 high: resting at (480, 380).
  for (const Case& c : {Case{kSlideFromTop, 480, -40}, Case{kSlideFromBottom, 480, 800},
                        Case{kSlideFromLeft, -40, 380}, Case{kSlideFromRight, 1000, 380}}) {
    Stage stage(1000, 800, "abcd\r\nef");
    stage.screen.label1.visible = false;
    stage.screen.events.clear();
    stage.Start(c.kind);
    EXPECT_EQ(stage.form.TargetLeft, 480);
    EXPECT_EQ(stage.form.TargetTop, 380);
    EXPECT_EQ(stage.screen.label1.left, c.left) << c.kind;
    EXPECT_EQ(stage.screen.label1.top, c.top) << c.kind;
    EXPECT_EQ(stage.form.SlidePos, c.kind <= kSlideFromBottom ? c.top : c.left);
    EXPECT_TRUE(stage.screen.timer2.enabled);
    EXPECT_FALSE(stage.screen.timer1.enabled);
    // Moved before it is shown, so it is never seen at its old place.
    const std::vector<std::string> expected = {
        "Label1.Move(" + std::to_string(c.left) + "," + std::to_string(c.top) + ")",
        "Timer2 on", "Label1.Visible=true"};
    EXPECT_EQ(stage.screen.events, expected);
  }
}

TEST(StartAnimation, StartPositionsOfAFractionalLabelAreRoundedHalfToEven) {
  // At a quarter point a character is 2.5 twips wide: "a" starts at -2.5,
  // "aaa" at -7.5; the screens are half a twip over.
  Stage one(1000, 800, "a");
  one.screen.label1.fontSize = 0.25f;
  one.Start(kSlideFromLeft);
  EXPECT_EQ(one.form.SlidePos, -2);
  Stage three(1000, 800, "aaa");
  three.screen.label1.fontSize = 0.25f;
  three.Start(kSlideFromLeft);
  EXPECT_EQ(three.form.SlidePos, -8);
  Stage right(999.5f, 800.5f, "a");
  right.Start(kSlideFromRight);
  EXPECT_EQ(right.form.SlidePos, 1000);
  Stage bottom(999.5f, 800.5f, "a");
  bottom.Start(kSlideFromBottom);
  EXPECT_EQ(bottom.form.SlidePos, 800);
}

TEST(StartAnimation, PopOnScreenRestsAtOnceAndStartsTheVerseTimer) {
  Stage stage(1000, 800, "abcd");
  stage.screen.timer2.enabled = true;
  stage.Start(kPopOnScreen);
  EXPECT_EQ(stage.screen.label1.left, stage.form.TargetLeft);
  EXPECT_EQ(stage.screen.label1.top, stage.form.TargetTop);
  EXPECT_FALSE(stage.screen.timer2.enabled);
  EXPECT_TRUE(stage.screen.timer1.enabled);
  EXPECT_TRUE(stage.screen.label1.visible);
}

TEST(StartAnimation, AnUnknownKindOnlyShowsTheLabel) {
  for (const std::int16_t kind : {0, 6, 1000, -3}) {
    Stage stage(1000, 800, "abcd");
    stage.screen.label1.visible = false;
    stage.screen.events.clear();
    stage.Start(kind);
    EXPECT_EQ(stage.screen.events, std::vector<std::string>{"Label1.Visible=true"}) << kind;
  }
}

struct SlideCase {
  std::int16_t kind;
  float screenWidth, screenHeight;
  std::int16_t speed;
};

// Over a distance D with step S a slide takes D div S + 1 ticks, never moves
// the label past its resting place, and the last tick puts it exactly there.
TEST(Slides, TakeDistanceDivStepPlusOneTicksAndLandOnTheTarget) {
  const std::vector<SlideCase> cases = {
      {kSlideFromTop, 19200, 15360, 600},    {kSlideFromBottom, 19200, 15360, 600},
      {kSlideFromLeft, 19200, 15360, 600},   {kSlideFromRight, 19200, 15360, 600},
      {kSlideFromTop, 19200, 15360, 0},      {kSlideFromRight, 19201, 15361, 1000},
      {kSlideFromLeft, 333, 777, 37},        {kSlideFromBottom, 5000, 90, 5}};
  for (const auto& c : cases) {
    Stage stage(c.screenWidth, c.screenHeight, "abcdefghij\r\nklm", c.speed);
    stage.Start(c.kind);
    const bool vertical = c.kind == kSlideFromTop || c.kind == kSlideFromBottom;
    const std::int32_t target = vertical ? stage.form.TargetTop : stage.form.TargetLeft;
    const std::int32_t distance = std::abs(target - stage.form.SlidePos);
    const std::int32_t step = c.speed + 10;
    stage.screen.label1.moves.clear();

    const int ticks = stage.saver.FinishSlide();
    EXPECT_EQ(ticks, distance / step + 1) << c.kind << " speed " << c.speed;
    const auto& moves = stage.screen.label1.moves;
    ASSERT_EQ(moves.size(), static_cast<std::size_t>(ticks));
    for (std::size_t i = 0; i < moves.size(); ++i) {
      const std::int32_t moved = vertical ? moves[i].second : moves[i].first;
      const std::int32_t fixed = vertical ? moves[i].first : moves[i].second;
      EXPECT_EQ(fixed, vertical ? stage.form.TargetLeft : stage.form.TargetTop);
      const bool forward = c.kind == kSlideFromTop || c.kind == kSlideFromLeft;
      EXPECT_TRUE(forward ? moved <= target : moved >= target) << i;
      // Only a step that lands exactly on the target rests there one tick early.
      const bool exactLanding = distance % step == 0 && i + 2 == moves.size();
      if (i + 1 < moves.size() && !exactLanding) EXPECT_NE(moved, target) << "tick " << i;
    }
    EXPECT_EQ(moves.back(), std::make_pair(stage.form.TargetLeft, stage.form.TargetTop));
    EXPECT_EQ(stage.form.SlidePos, target);
    EXPECT_FALSE(stage.screen.timer2.enabled);
    EXPECT_TRUE(stage.screen.timer1.enabled);
  }
}

TEST(Slides, AStepLandingExactlyOnTheTargetEndsTheSlideOnlyOneTickLater) {
  // Screen height 220, label 20 high: TargetTop 100, start -20, distance 120 = 2 steps of 60.
  Stage stage(1000, 220, "abcd", 50);
  stage.Start(kSlideFromTop);
  stage.screen.timer2.Tick();
  stage.screen.timer2.Tick();
  EXPECT_EQ(stage.screen.label1.top, 100);
  EXPECT_TRUE(stage.screen.timer2.enabled);  // resting on the target, not yet ended
  EXPECT_FALSE(stage.screen.timer1.enabled);
  stage.screen.events.clear();
  stage.screen.timer2.Tick();
  const std::vector<std::string> ending = {"Timer2 off", "Timer1 on", "window.Clear",
                                           "Label1.Move(480,100)"};
  EXPECT_EQ(stage.screen.events, ending);
  EXPECT_EQ(stage.screen.timer2.ticks, 3);
}

TEST(Slides, ALabelTallerThanTheScreenStillEndsAtItsTarget) {
  const std::string tall = "a\r\nb\r\nc\r\nd\r\ne\r\nf";  // 120 high on a 50-high screen
  for (const std::int16_t kind : {kSlideFromTop, kSlideFromBottom}) {
    Stage stage(1000, 50, tall, 3);
    stage.Start(kind);
    EXPECT_EQ(stage.form.TargetTop, -35);
    stage.saver.FinishSlide();
    EXPECT_EQ(stage.screen.label1.top, -35) << kind;
    EXPECT_FALSE(stage.screen.timer2.enabled);
  }
}

TEST(Slides, TickWithoutASlideKindDoesNothing) {
  for (const std::int16_t kind : {std::int16_t{kPopOnScreen}, std::int16_t{0}, std::int16_t{6}, std::int16_t{1000}}) {
    Stage stage(1000, 800, "abcd");
    stage.form.AnimationKind = kind;
    stage.form.SlidePos = 123;
    stage.screen.events.clear();
    stage.form.AnimationTick();
    EXPECT_TRUE(stage.screen.events.empty()) << kind;
    EXPECT_EQ(stage.form.SlidePos, 123);
  }
}

// A step of zero or less would never end a slide, and a speed above 32757
// would overflow the step: the step is kept from 10 to 32767.
TEST(SaverMendedFaults, SlideStepIsKeptBetweenTenAnd32767) {
  const std::vector<std::pair<std::int16_t, std::int16_t>> steps = {
      {600, 610},   {0, 10},          {1000, 1010},     {-5, 10},
      {-10, 10},    {-32768, 10},     {32757, 32767},   {32767, 32767}};
  for (const auto& [speed, step] : steps) {
    Stage stage(19200, 15360, "abcd", speed);
    EXPECT_EQ(stage.form.SlideStep(), step) << speed;
    stage.Start(kSlideFromRight);
    const std::int32_t distance = stage.form.SlidePos - stage.form.TargetLeft;
    EXPECT_EQ(stage.saver.FinishSlide(), distance / step + 1) << speed;
    EXPECT_EQ(stage.screen.label1.left, stage.form.TargetLeft);
    EXPECT_TRUE(stage.screen.timer1.enabled) << speed;
    EXPECT_EQ(stage.saver.program.settings.AnimationSpeed, speed);
  }
}

// With Pop on Screen the next verse follows exactly one delay after the
// label is shown; with a slide, one delay after the slide has ended.
TEST(VerseCycle, NextVerseFollowsOneDelayAfterTheEntryHasEnded) {
  {
    SaverHarness saver;
    saver.program.settings.AnimationType = kPopOnScreen;
    saver.program.settings.TimeDelay = 2500;
    saver.Load();
    std::vector<std::int64_t> cycles;
    saver.screen.timer1.onTick = [&] {
      cycles.push_back(saver.screen.now);
      saver.Run([&] { saver.form.VerseCycle(); });
    };
    saver.screen.Advance(10000);
    EXPECT_EQ(cycles, (std::vector<std::int64_t>{2500, 5000, 7500, 10000}));
  }
  {
    SaverHarness saver;
    saver.program.settings.AnimationType = kSlideFromBottom;
    saver.program.settings.TimeDelay = 1000;
    saver.Load();
    const std::int32_t distance = saver.form.SlidePos - saver.form.TargetTop;
    const std::int64_t slide = distance / 610 + 1;
    std::int64_t cycleAt = -1;
    saver.screen.timer1.onTick = [&] {
      if (cycleAt < 0) cycleAt = saver.screen.now;
      EXPECT_FALSE(saver.screen.timer2.enabled);  // never during a slide
      saver.Run([&] { saver.form.VerseCycle(); });
    };
    saver.screen.Advance(slide + 1000);
    EXPECT_EQ(cycleAt, slide + 1000);
  }
}

TEST(VerseCycle, HidesTheLabelBeforeItsCaptionChangesAndDrawsTheAnimationFirst) {
  SaverHarness saver;
  saver.program.settings.AnimationType = kRandomAnimation;
  saver.program.settings.VerseSelectionType = kRandomVerse;
  saver.Load();
  saver.screen.events.clear();
  saver.form.VerseCycle();
  const auto& events = saver.screen.events;
  const auto at = [&](const std::string& e) {
    return std::find(events.begin(), events.end(), e) - events.begin();
  };
  EXPECT_EQ(events.front(), "window.Clear");
  EXPECT_LT(at("Timer1 off"), at("Label1.Visible=false"));
  EXPECT_LT(at("Label1.Visible=false"), at("Label1.Caption"));
  EXPECT_LT(at("Label1.Caption"), at("Label1.Visible=true"));
  EXPECT_EQ(events.back(), "Label1.Visible=true");

  // The animation's draw comes before the verse's in the one sequence.
  UniformRandom replay(UniformRandom::FixedSeed(20261207));
  VerseIndex index;
  const Settings settings = saver.program.settings;
  PrepareVerseSource(index, settings, replay);
  replay.Draw(5);  // the load's cycle
  FetchNextVerse(index, settings.VerseSelectionType, settings, replay);
  const std::int16_t kind = replay.Draw(5);
  FetchNextVerse(index, settings.VerseSelectionType, settings, replay);
  EXPECT_EQ(saver.form.AnimationKind, kind);
  EXPECT_EQ(saver.form.VerseIndex, index.VerseIndex);
  EXPECT_EQ(saver.form.VerseText, index.VerseText);
}

}  // namespace
}  // namespace velun
