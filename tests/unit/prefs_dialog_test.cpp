#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fakes/fake_dialog.h"
#include "prefs/frm_config.h"

namespace velun {
namespace {

using fakes::DialogRig;

const std::vector<std::pair<std::string, std::string>> kElevenKeys{
    {"Fonts", "Font Name"},      {"Fonts", "Font Size"},       {"Fonts", "Font Color"},
    {"Fonts", "Font Bold"},      {"Fonts", "Font Italic"},     {"Fonts", "Font Strikethru"},
    {"Fonts", "Font Underline"}, {"Verse Selection", "type"},  {"Animation", "type"},
    {"Animation", "Speed"},      {"Time", "Delay"}};

std::vector<std::string> StoredValues(const DialogRig& rig) {
  std::vector<std::string> values;
  for (const auto& [section, key] : kElevenKeys) values.push_back(rig.Stored(section, key));
  return values;
}

void ExpectWarningOnly(const DialogRig& rig) {
  ASSERT_EQ(rig.system.messageBoxes.size(), 1u);
  EXPECT_EQ(rig.system.messageBoxes[0].text, "The Time delay is in the range of 1 to 60 seconds");
  EXPECT_EQ(rig.system.messageBoxes[0].style, 48);
  EXPECT_EQ(rig.system.messageBoxes[0].title, "Velun Saver");
  EXPECT_TRUE(rig.dialog.TimeDelayInvalid());
  EXPECT_FALSE(rig.program.ended);
  EXPECT_EQ(rig.system.endCount, 0);
  EXPECT_TRUE(rig.store.writes.empty());
}

TEST(PreferencesDialog, FreshStoreShowsTheDefaultsAndOkStoresThem) {
  DialogRig rig;
  EXPECT_EQ(rig.TxtTimeDelay.text, "");  // empty when the dialog is created
  rig.Load();

  EXPECT_EQ(rig.cmbVerseSelection.SelectedText(), "Random Verse");
  EXPECT_EQ(rig.cmbAnimation.SelectedText(), "Random Animation");
  EXPECT_EQ(rig.SldrSpeed.value, 600);
  EXPECT_EQ(rig.TxtTimeDelay.text, "10");
  EXPECT_EQ(rig.dialog.SavedTimeDelay(), 10000);
  EXPECT_EQ(rig.SldrSpeed.min, 0);
  EXPECT_EQ(rig.SldrSpeed.max, 1000);
  EXPECT_EQ(rig.SldrSpeed.smallChange, 100);
  EXPECT_EQ(rig.SldrSpeed.largeChange, 200);
  EXPECT_EQ(rig.SldrSpeed.tickFrequency, 100);

  rig.dialog.CmdResponse_Click(0);
  EXPECT_EQ(StoredValues(rig),
            (std::vector<std::string>{"Traditional Arabic", "30", "128", "False", "False", "False",
                                      "False", "3", "1000", "600", "10000"}));
  EXPECT_EQ(rig.store.writes.size(), 11u);
  EXPECT_TRUE(rig.system.messageBoxes.empty());
  EXPECT_TRUE(rig.program.ended);
  EXPECT_EQ(rig.system.endCount, 1);

  // Nothing runs once the program has ended.
  rig.dialog.CmdResponse_Click(1);
  rig.dialog.Form_Unload();
  EXPECT_EQ(rig.store.writes.size(), 11u);
  EXPECT_EQ(rig.system.endCount, 1);
}

TEST(PreferencesDialog, ListsCarryTheirCodesAndOkStoresTheCodeNotThePosition) {
  DialogRig rig;
  rig.Load();
  std::vector<std::pair<std::string, std::int32_t>> verseOrders, animations;
  for (const auto& e : rig.cmbVerseSelection.entries) verseOrders.push_back({e.text, e.data});
  for (const auto& e : rig.cmbAnimation.entries) animations.push_back({e.text, e.data});
  EXPECT_EQ(verseOrders, (std::vector<std::pair<std::string, std::int32_t>>{
                             {"From Begining to End", 1}, {"Random Chapter", 2}, {"Random Verse", 3}}));
  EXPECT_EQ(animations, (std::vector<std::pair<std::string, std::int32_t>>{
                            {"Slide From Top", 1},
                            {"Slide From Bottom", 2},
                            {"Slide From Left", 3},
                            {"Slide From Right", 4},
                            {"Pop on Screen", 5},
                            {"Random Animation", 1000}}));

  rig.cmbVerseSelection.Pick("Random Chapter");
  rig.cmbAnimation.Pick("Slide From Right");
  rig.dialog.CmdResponse_Click(0);
  EXPECT_EQ(rig.Stored("Verse Selection", "type"), "2");
  EXPECT_EQ(rig.Stored("Animation", "type"), "4");

  // A list that lost its selection leaves its setting as loaded.
  DialogRig unselected;
  unselected.store.values[{kApplicationName, "Animation", "type"}] = "2";
  unselected.Load();
  unselected.cmbAnimation.selected = -1;
  unselected.dialog.CmdResponse_Click(0);
  EXPECT_EQ(unselected.Stored("Animation", "type"), "2");
  EXPECT_TRUE(unselected.program.ended);
}

TEST(PreferencesDialog, CentresWithPlainDivisionThenRoundsHalvesToEven) {
  struct Case {
    float screenWidth, screenHeight, width, height;
    std::int32_t left, top;
  };
  for (const Case& c : std::vector<Case>{
           {19200, 15360, 5322, 4794, 6939, 5283},
           {19200, 15360, 5321, 4795, 6940, 5282},      // 6939.5 and 5282.5
           {19200, 15360, 5323, 4793, 6938, 5284},      // 6938.5 and 5283.5
           {19200, 15360, 5322.5f, 4794.5f, 6939, 5283},  // 6938.75 and 5282.75
           {4000, 3000, 5322, 4794, -661, -897}}) {
    DialogRig rig;
    rig.window.screenWidth = c.screenWidth;
    rig.window.screenHeight = c.screenHeight;
    rig.window.width = c.width;
    rig.window.height = c.height;
    rig.Load();
    EXPECT_EQ(rig.window.moveCount, 1);
    EXPECT_EQ(rig.window.left, c.left) << c.width;
    EXPECT_EQ(rig.window.top, c.top) << c.height;
  }
}

TEST(PreferencesDialog, AcceptedTimeDelayTextsStoreWholeSeconds) {
  struct Case {
    const char* text;
    std::int32_t timeDelay;
  };
  for (const Case& c : std::vector<Case>{{"7.9", 7000},
                                         {"60.9", 60000},
                                         {" 12 ", 12000},
                                         {"1", 1000},
                                         {"60", 60000},
                                         {"+5", 5000},
                                         {"1.999", 1000}}) {
    DialogRig rig;
    rig.Load();
    rig.TxtTimeDelay.text = c.text;
    rig.dialog.CmdResponse_Click(0);
    EXPECT_TRUE(rig.system.messageBoxes.empty()) << c.text;
    EXPECT_FALSE(rig.dialog.TimeDelayInvalid()) << c.text;
    EXPECT_EQ(rig.program.settings.TimeDelay, c.timeDelay) << c.text;
    EXPECT_EQ(rig.Stored("Time", "Delay"), std::to_string(c.timeDelay)) << c.text;
    EXPECT_TRUE(rig.program.ended) << c.text;
  }
}

TEST(PreferencesDialog, RejectedTimeDelayTextsWarnAndKeepTheDialogOpen) {
  for (const char* text : {"0.5", "0", "61", "-5", "12s", "abc", "", "   ", "1 2", "4294967296",
                           "2147483648", "99999999999999999999", "-0.5", "7,5", "1e1"}) {
    DialogRig rig;
    rig.Load();
    rig.TxtTimeDelay.text = text;
    rig.dialog.CmdResponse_Click(0);
    SCOPED_TRACE(std::string("text \"") + text + "\"");
    ExpectWarningOnly(rig);
    EXPECT_EQ(rig.program.settings.TimeDelay, 10000);
    EXPECT_EQ(rig.TxtTimeDelay.text, text);  // the box keeps what was typed
  }
}

TEST(PreferencesDialog, CommaLocaleReadsSevenCommaFiveAsSevenSeconds) {
  DialogRig rig(LocaleNumberParser(",", "."));
  rig.Load();
  rig.TxtTimeDelay.text = "7,5";
  rig.dialog.CmdResponse_Click(0);
  EXPECT_TRUE(rig.system.messageBoxes.empty());
  EXPECT_EQ(rig.Stored("Time", "Delay"), "7000");

  DialogRig dotTyped(LocaleNumberParser(",", "."));
  dotTyped.Load();
  dotTyped.TxtTimeDelay.text = "7.5";  // not a number where "." groups digits
  dotTyped.dialog.CmdResponse_Click(0);
  ExpectWarningOnly(dotTyped);
}

TEST(PreferencesDialog, DelayShownInWholeSecondsTruncatedAndCancelPutsItBack) {
  for (const auto& [stored, shown] : std::vector<std::pair<std::string, std::string>>{
           {"1500", "1"}, {"999", "0"}, {"59999", "59"}, {"-1500", "-1"}, {"60000", "60"}}) {
    DialogRig rig;
    rig.store.values[{kApplicationName, "Time", "Delay"}] = stored;
    rig.Load();
    EXPECT_EQ(rig.TxtTimeDelay.text, shown) << stored;
  }

  DialogRig cancelled;
  cancelled.store.values[{kApplicationName, "Time", "Delay"}] = "1500";
  cancelled.Load();
  cancelled.program.settings.TimeDelay = 42000;  // whatever happened meanwhile
  cancelled.dialog.CmdResponse_Click(1);
  EXPECT_EQ(cancelled.Stored("Time", "Delay"), "1500");
  EXPECT_TRUE(cancelled.program.ended);

  DialogRig accepted;
  accepted.store.values[{kApplicationName, "Time", "Delay"}] = "1500";
  accepted.Load();
  accepted.dialog.CmdResponse_Click(0);
  EXPECT_EQ(accepted.Stored("Time", "Delay"), "1000");
}

TEST(PreferencesDialog, CancelAfterRejectedOkKeepsTheChoicesOfThatOkAndTheOpeningDelay) {
  DialogRig rig;
  rig.store.values[{kApplicationName, "Time", "Delay"}] = "20000";
  rig.Load();
  rig.cmbVerseSelection.Pick("From Begining to End");
  rig.cmbAnimation.Pick("Pop on Screen");
  rig.SldrSpeed.UserMove(300);
  rig.TxtTimeDelay.text = "0";
  rig.dialog.CmdResponse_Click(0);
  ExpectWarningOnly(rig);
  EXPECT_EQ(rig.program.settings.VerseSelectionType, 1);
  EXPECT_EQ(rig.program.settings.AnimationType, 5);
  EXPECT_EQ(rig.program.settings.AnimationSpeed, 300);

  // Changes made after the rejected OK are not read by Cancel.
  rig.cmbAnimation.Pick("Slide From Top");
  rig.SldrSpeed.UserMove(900);
  rig.TxtTimeDelay.text = "30";
  rig.dialog.CmdResponse_Click(1);
  EXPECT_EQ(rig.Stored("Verse Selection", "type"), "1");
  EXPECT_EQ(rig.Stored("Animation", "type"), "5");
  EXPECT_EQ(rig.Stored("Animation", "Speed"), "300");
  EXPECT_EQ(rig.Stored("Time", "Delay"), "20000");
  EXPECT_EQ(rig.system.endCount, 1);
}

TEST(PreferencesDialog, CloseBoxAfterPickingAFontSavesTheFontAndNothingElseChanged) {
  DialogRig rig;
  rig.store.values[{kApplicationName, "Verse Selection", "type"}] = "1";
  rig.store.values[{kApplicationName, "Animation", "type"}] = "2";
  rig.store.values[{kApplicationName, "Animation", "Speed"}] = "300";
  rig.store.values[{kApplicationName, "Time", "Delay"}] = "5000";
  rig.Load();
  rig.CommonDialog1.fontAnswer = FontChoice{"Arial", 14, true, true, true, true};
  rig.dialog.CmdFonts_Click();
  rig.cmbVerseSelection.Pick("Random Chapter");  // picked but never confirmed
  rig.SldrSpeed.UserMove(800);
  rig.TxtTimeDelay.text = "33";
  rig.dialog.Form_Unload();
  EXPECT_EQ(StoredValues(rig),
            (std::vector<std::string>{"Arial", "14", "128", "True", "True", "True", "True", "1",
                                      "2", "300", "5000"}));
  EXPECT_TRUE(rig.program.ended);
}

TEST(PreferencesDialog, ColourPickerOpensOnTheColourAndChangesItOnlyWhenConfirmed) {
  DialogRig rig;
  rig.Load();
  rig.dialog.cmdColor_Click();  // cancelled
  ASSERT_EQ(rig.CommonDialog1.colorCalls.size(), 1u);
  EXPECT_EQ(rig.CommonDialog1.colorCalls[0].flags, 1);
  EXPECT_EQ(rig.CommonDialog1.colorCalls[0].color, 128);
  EXPECT_EQ(rig.program.settings.FontColor, 128);

  rig.CommonDialog1.failing = true;
  rig.CommonDialog1.colorAnswer = 255;
  rig.dialog.cmdColor_Click();
  EXPECT_EQ(rig.program.settings.FontColor, 128);
  EXPECT_TRUE(rig.system.messageBoxes.empty());

  rig.CommonDialog1.failing = false;
  rig.CommonDialog1.colorAnswer = 65280;
  rig.dialog.cmdColor_Click();
  EXPECT_EQ(rig.program.settings.FontColor, 65280);
  rig.dialog.cmdColor_Click();
  EXPECT_EQ(rig.CommonDialog1.colorCalls.back().color, 65280);  // opens on the new colour

  // Cancel in the dialog does not undo the picker.
  rig.dialog.CmdResponse_Click(1);
  EXPECT_EQ(rig.Stored("Fonts", "Font Color"), "65280");
}

TEST(PreferencesDialog, FontPickerStartsFromTheSixSettingsAndCancelLeavesThem) {
  DialogRig rig;
  rig.store.values[{kApplicationName, "Fonts", "Font Italic"}] = "True";
  rig.Load();
  const Settings before = rig.program.settings;
  rig.dialog.CmdFonts_Click();  // cancelled
  ASSERT_EQ(rig.CommonDialog1.fontCalls.size(), 1u);
  const auto& call = rig.CommonDialog1.fontCalls[0];
  EXPECT_EQ(call.flags, 73985);
  EXPECT_EQ(call.min, 8);
  EXPECT_EQ(call.max, 48);
  EXPECT_EQ(call.start.FontName, "Traditional Arabic");
  EXPECT_EQ(call.start.FontSize, 30.0f);
  EXPECT_FALSE(call.start.FontBold);
  EXPECT_TRUE(call.start.FontItalic);
  EXPECT_FALSE(call.start.FontUnderline);
  EXPECT_FALSE(call.start.FontStrikethru);

  rig.CommonDialog1.fontAnswer = FontChoice{"Arial", 12, true, false, true, true};
  rig.CommonDialog1.failing = true;
  rig.dialog.CmdFonts_Click();
  // A size no 16-bit setting can hold leaves the whole font as it was.
  rig.CommonDialog1.failing = false;
  rig.CommonDialog1.fontAnswer = FontChoice{"Arial", 1e9f, true, false, true, true};
  rig.dialog.CmdFonts_Click();

  const Settings& after = rig.program.settings;
  EXPECT_EQ(after.FontName, before.FontName);
  EXPECT_EQ(after.FontSize, before.FontSize);
  EXPECT_EQ(after.FontBold, before.FontBold);
  EXPECT_EQ(after.FontItalic, before.FontItalic);
  EXPECT_EQ(after.FontUnderline, before.FontUnderline);
  EXPECT_EQ(after.FontStrikethru, before.FontStrikethru);
  EXPECT_TRUE(rig.system.messageBoxes.empty());
  EXPECT_FALSE(rig.program.ended);
}

TEST(PreferencesDialog, ConfirmedFontSizeRoundsHalvesToEven) {
  for (const auto& [chosen, stored] : std::vector<std::pair<float, std::int16_t>>{
           {10.5f, 10}, {11.5f, 12}, {8.0f, 8}, {48.0f, 48}, {12.25f, 12}, {12.75f, 13}}) {
    DialogRig rig;
    rig.Load();
    rig.CommonDialog1.fontAnswer = FontChoice{"Amiri", chosen, false, true, false, false};
    rig.dialog.CmdFonts_Click();
    EXPECT_EQ(rig.program.settings.FontSize, stored) << chosen;
    EXPECT_EQ(rig.program.settings.FontName, "Amiri");
    EXPECT_TRUE(rig.program.settings.FontItalic);
  }
}

TEST(PreferencesDialog, SliderSnapsDownToItsStepOnEveryChange) {
  DialogRig rig;
  rig.Load();
  for (const auto& [moved, rests] : std::vector<std::pair<std::int32_t, std::int32_t>>{
           {650, 600}, {999, 900}, {0, 0}, {1000, 1000}, {99, 0}, {100, 100}, {1001, 1000}}) {
    rig.SldrSpeed.UserMove(moved);
    EXPECT_EQ(rig.SldrSpeed.value, rests) << moved;
  }
  rig.SldrSpeed.UserMove(650);
  rig.dialog.CmdResponse_Click(0);
  EXPECT_EQ(rig.Stored("Animation", "Speed"), "600");

  // The step is taken again on OK, whatever the slider holds.
  DialogRig unsnapped;
  unsnapped.Load();
  unsnapped.SldrSpeed.value = 750;
  unsnapped.dialog.CmdResponse_Click(0);
  EXPECT_EQ(unsnapped.Stored("Animation", "Speed"), "700");
}

TEST(PreferencesDialog, StoredValuesOutsideTheListsAndTheSliderRange) {
  struct Case {
    const char* verseOrder;
    const char* animation;
    const char* speed;
    const char* shownVerseOrder;
    const char* shownAnimation;
    std::int32_t slider;
    std::vector<std::string> storedByOk;  // verse order, animation, speed
  };
  for (const Case& c : std::vector<Case>{
           {"9", "7", "-50", "Random Verse", "Random Animation", 0, {"3", "1000", "0"}},
           {"0", "0", "1500", "Random Verse", "Random Animation", 1000, {"3", "1000", "1000"}},
           {"-3", "-3", "32767", "Random Verse", "Random Animation", 1000, {"3", "1000", "1000"}},
           {"6", "6", "650", "Random Verse", "Random Animation", 600, {"3", "1000", "600"}},
           {"1", "5", "0", "From Begining to End", "Pop on Screen", 0, {"1", "5", "0"}},
           {"2", "1", "1000", "Random Chapter", "Slide From Top", 1000, {"2", "1", "1000"}}}) {
    DialogRig rig;
    rig.store.values[{kApplicationName, "Verse Selection", "type"}] = c.verseOrder;
    rig.store.values[{kApplicationName, "Animation", "type"}] = c.animation;
    rig.store.values[{kApplicationName, "Animation", "Speed"}] = c.speed;
    rig.Load();
    SCOPED_TRACE(std::string(c.verseOrder) + " " + c.animation + " " + c.speed);
    EXPECT_EQ(rig.cmbVerseSelection.SelectedText(), c.shownVerseOrder);
    EXPECT_EQ(rig.cmbAnimation.SelectedText(), c.shownAnimation);
    EXPECT_EQ(rig.SldrSpeed.value, c.slider);
    rig.dialog.CmdResponse_Click(0);
    EXPECT_EQ((std::vector<std::string>{rig.Stored("Verse Selection", "type"),
                                        rig.Stored("Animation", "type"),
                                        rig.Stored("Animation", "Speed")}),
              c.storedByOk);
  }
}

}  // namespace
}  // namespace velun
