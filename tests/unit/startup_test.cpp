// Start-up, the settings conversions and store, and the fatal report.
#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "fakes/failure_of.h"
#include "fakes/fake_system.h"
#include "startup/conversions.h"
#include "startup/failure.h"
#include "startup/fatal_report.h"
#include "startup/main.h"
#include "startup/settings.h"

namespace velun {
namespace {

using testing::FailureOf;

TEST(Conversions, NumbersRoundHalvesToEvenAndFailOutsideTheirWidth) {
  EXPECT_EQ(TextToNumber16("30"), 30);
  EXPECT_EQ(TextToNumber16("30.5"), 30);
  EXPECT_EQ(TextToNumber16("31.5"), 32);
  EXPECT_EQ(TextToNumber16("2.5000000000000000001"), 3);  // just above one half rounds up
  EXPECT_EQ(TextToNumber16("-2.5"), -2);
  EXPECT_EQ(TextToNumber16("-0.5"), 0);
  EXPECT_EQ(TextToNumber16("  +17  "), 17);
  EXPECT_EQ(TextToNumber16("\t-12.49 "), -12);
  EXPECT_EQ(TextToNumber16(".5"), 0);
  EXPECT_EQ(TextToNumber16("7."), 7);
  EXPECT_EQ(TextToNumber16("000000000000000000000042"), 42);
  EXPECT_EQ(TextToNumber16("32767.4"), 32767);
  EXPECT_EQ(TextToNumber16("-32768.5"), -32768);
  EXPECT_EQ(FailureOf([] { TextToNumber16("32767.5"); }), 6);
  EXPECT_EQ(FailureOf([] { TextToNumber16("32768"); }), 6);
  EXPECT_EQ(FailureOf([] { TextToNumber16("-32769"); }), 6);
  EXPECT_EQ(FailureOf([] { TextToNumber16("99999999999999999999999"); }), 6);
  EXPECT_EQ(TextToNumber32("40000"), 40000);
  EXPECT_EQ(TextToNumber32("-2147483648"), -2147483647 - 1);
  EXPECT_EQ(FailureOf([] { TextToNumber32("2147483648"); }), 6);

  // Not numbers: only plain decimal notation is read.
  for (const char* text : {"", " ", "abc", "12s", "1,000", "1e3", "0x10", "&H10", "--1", "+-1",
                           "1 2", ".", "-", "+", "1..2", "TRUE"}) {
    EXPECT_EQ(FailureOf([text] { TextToNumber16(text); }), 13) << '"' << text << '"';
  }
}

TEST(Conversions, ColourReadsItsLeadingNumber) {
  EXPECT_EQ(TextToLeadingNumber32("255abc"), 255);
  EXPECT_EQ(TextToLeadingNumber32("abc"), 0);
  EXPECT_EQ(TextToLeadingNumber32(""), 0);
  EXPECT_EQ(TextToLeadingNumber32("65280.5"), 65280);
  EXPECT_EQ(TextToLeadingNumber32("65281.5xyz"), 65282);
  EXPECT_EQ(TextToLeadingNumber32("   -12-3"), -12);
  EXPECT_EQ(TextToLeadingNumber32("16777215"), 16777215);
  EXPECT_EQ(TextToLeadingNumber32("+"), 0);
  EXPECT_EQ(TextToLeadingNumber32("1e5"), 1);
  EXPECT_EQ(FailureOf([] { TextToLeadingNumber32("99999999999red"); }), 6);
}

TEST(Conversions, BooleansAreWordsInAnyCaseOrNumbers) {
  EXPECT_TRUE(TextToBoolean("True"));
  EXPECT_TRUE(TextToBoolean("TRUE"));
  EXPECT_TRUE(TextToBoolean("tRuE"));
  EXPECT_FALSE(TextToBoolean("false"));
  EXPECT_FALSE(TextToBoolean("0"));
  EXPECT_FALSE(TextToBoolean("-0.0"));
  EXPECT_TRUE(TextToBoolean("-1"));
  EXPECT_TRUE(TextToBoolean("0.4"));
  EXPECT_TRUE(TextToBoolean("123456789012345678901234567890"));
  for (const char* text : {"yes", "no", "", "Truee", "1x", "T"}) {
    EXPECT_EQ(FailureOf([text] { TextToBoolean(text); }), 13) << '"' << text << '"';
  }
}

TEST(Settings, EmptyStoreLoadsTheDefaultsAndSavesThemInOrder) {
  MemorySettingsStore store;
  Settings s;
  LoadSettings(s, store);
  EXPECT_EQ(s.FontName, "Traditional Arabic");
  EXPECT_EQ(s.FontSize, 30);
  EXPECT_EQ(s.FontColor, 128);
  EXPECT_FALSE(s.FontBold || s.FontItalic || s.FontStrikethru || s.FontUnderline);
  EXPECT_EQ(s.VerseSelectionType, 3);
  EXPECT_EQ(s.AnimationType, 1000);
  EXPECT_EQ(s.AnimationSpeed, 600);
  EXPECT_EQ(s.TimeDelay, 10000);

  const std::vector<std::pair<std::string, std::string>> order = {
      {"Fonts", "Font Name"},      {"Fonts", "Font Size"},        {"Fonts", "Font Color"},
      {"Fonts", "Font Bold"},      {"Fonts", "Font Italic"},      {"Fonts", "Font Strikethru"},
      {"Fonts", "Font Underline"}, {"Verse Selection", "type"},   {"Animation", "type"},
      {"Animation", "Speed"},      {"Time", "Delay"}};
  ASSERT_EQ(store.reads.size(), order.size());
  for (std::size_t i = 0; i < order.size(); ++i) {
    EXPECT_EQ(store.reads[i], (MemorySettingsStore::Key{"Velun Saver", order[i].first,
                                                         order[i].second}));
  }

  SaveSettings(s, store);
  ASSERT_EQ(store.writes, store.reads);
  const std::vector<std::string> texts = {"Traditional Arabic", "30", "128", "False", "False",
                                          "False", "False", "3", "1000", "600", "10000"};
  for (std::size_t i = 0; i < order.size(); ++i) {
    EXPECT_EQ(store.values.at(store.writes[i]), texts[i]);
  }
}

TEST(Settings, StoredTextsComeBackInTheirNormalForm) {
  MemorySettingsStore store;
  auto put = [&store](const char* section, const char* key, const char* text) {
    store.values[{"Velun Saver", section, key}] = text;
  };
  put("Fonts", "Font Size", "31.5");
  put("Fonts", "Font Color", "255abc");
  put("Fonts", "Font Bold", "TRUE");
  put("Fonts", "Font Underline", "-1");
  put("Animation", "type", "6");
  put("Verse Selection", "type", "9");
  put("Time", "Delay", " 40000 ");
  put("Animation", "Speed", "-20");
  Settings s;
  LoadSettings(s, store);
  EXPECT_EQ(s.FontSize, 32);
  EXPECT_EQ(s.FontColor, 255);
  EXPECT_TRUE(s.FontBold);
  EXPECT_TRUE(s.FontUnderline);
  EXPECT_EQ(s.AnimationType, 1000);
  EXPECT_EQ(s.VerseSelectionType, 9);  // loaded unchanged; the saver decides what it shows
  EXPECT_EQ(s.TimeDelay, 40000);
  EXPECT_EQ(s.AnimationSpeed, -20);
  SaveSettings(s, store);
  EXPECT_EQ((store.values[{"Velun Saver", "Fonts", "Font Size"}]), "32");
  EXPECT_EQ((store.values[{"Velun Saver", "Fonts", "Font Color"}]), "255");
  EXPECT_EQ((store.values[{"Velun Saver", "Fonts", "Font Bold"}]), "True");
  EXPECT_EQ((store.values[{"Velun Saver", "Animation", "type"}]), "1000");
  EXPECT_EQ((store.values[{"Velun Saver", "Time", "Delay"}]), "40000");
  EXPECT_EQ((store.values[{"Velun Saver", "Animation", "Speed"}]), "-20");
}

TEST(Settings, AFailureStopsTheLoadAtThatSetting) {
  MemorySettingsStore store;
  store.values[{"Velun Saver", "Fonts", "Font Italic"}] = "yes";
  store.values[{"Velun Saver", "Fonts", "Font Bold"}] = "True";
  Settings s;
  s.TimeDelay = 1234;
  EXPECT_EQ(FailureOf([&] { LoadSettings(s, store); }), 13);
  EXPECT_TRUE(s.FontBold);       // read before the failure
  EXPECT_EQ(s.TimeDelay, 1234);  // never reached
  EXPECT_EQ(store.reads.size(), 5u);

  MemorySettingsStore big;
  big.values[{"Velun Saver", "Fonts", "Font Size"}] = "40000";
  EXPECT_EQ(FailureOf([&] { LoadSettings(s, big); }), 6);
}

TEST(ModeSwitch, TwoUpperCasedCharactersDecideTheMode) {
  EXPECT_EQ(ModeSwitch(""), "/S");
  EXPECT_EQ(ModeSwitch("/s"), "/S");
  EXPECT_EQ(ModeSwitch("/s:9"), "/S");
  EXPECT_EQ(ModeSwitch("/c:1234"), "/C");
  EXPECT_EQ(ModeSwitch(" /s"), " /");
  EXPECT_EQ(ModeSwitch("s"), "S");
  EXPECT_EQ(ModeSwitch("/"), "/");
}

class RecordingWindows : public ModeWindows {
 public:
  void ShowPreferences() override { shown.push_back("preferences"); }
  void ShowSaver() override {
    shown.push_back("saver");
    if (failInSaver) throw Failure(53, "File not found");
  }
  std::vector<std::string> shown;
  bool failInSaver = false;
};

struct MainRun {
  fakes::FakeSystem system;
  MemorySettingsStore store;
  RecordingWindows windows;
  Program program;
  void Run(const std::string& arguments) {
    system.argumentText = arguments;
    Main(program, system, store, windows);
  }
};

TEST(Main, DispatchesOnTheSwitchAndShowsNothingOtherwise) {
  const std::vector<std::pair<std::string, std::string>> table = {
      {"", "saver"},          {"/s", "saver"},   {"/S", "saver"},  {"/s:9", "saver"},
      {"/S 5", "saver"},      {"/sx", "saver"},  {"/c", "preferences"},
      {"/C:1234", "preferences"}, {"/c 5", "preferences"}, {" /s", ""},
      {"/p 123", ""},         {"/a", ""},        {"-s", ""},       {"s", ""},  {"/", ""}};
  for (const auto& [arguments, expected] : table) {
    MainRun run;
    run.Run(arguments);
    const std::string shown = run.windows.shown.empty() ? "" : run.windows.shown.front();
    EXPECT_EQ(shown, expected) << '"' << arguments << '"';
    EXPECT_TRUE(run.system.messageBoxes.empty());
    EXPECT_TRUE(run.store.writes.empty());
    EXPECT_EQ(run.program.settings.LineBreak, "\r\n");
    EXPECT_EQ(run.program.settings.VerseFilePath, "C:\\Saver\\finalvelun.txt");
  }
}

TEST(Main, ASecondInstanceEndsAtOnceWithoutReadingAnything) {
  MainRun run;
  run.system.previousInstance = true;
  run.Run("/c");
  EXPECT_TRUE(run.windows.shown.empty());
  EXPECT_TRUE(run.store.reads.empty());
  EXPECT_EQ(run.system.endCount, 1);
  EXPECT_TRUE(run.system.messageBoxes.empty());
}

TEST(Main, ABadStoredSettingEndsInTheFatalReportBeforeAnyWindow) {
  MainRun run;
  run.store.values[{"Velun Saver", "Fonts", "Font Bold"}] = "yes";
  run.system.programFolder = "D:\\My Savers";
  const auto before = run.store.values;
  run.Run("/s");
  EXPECT_TRUE(run.windows.shown.empty());
  ASSERT_EQ(run.system.messageBoxes.size(), 1u);
  const fakes::MessageBoxCall& box = run.system.messageBoxes[0];
  EXPECT_EQ(box.title, "Error");
  EXPECT_EQ(box.style, 16);
  EXPECT_EQ(box.text,
            "An Error has Occured.  The Holy Velun Saver is exiting.\r\n"
            "Please report the following information to me at " VELUN_CONTACT_ADDRESS ":\r\n"
            "Error Number: 13\r\n"
            "Message: Type mismatch\r\n"
            "Path: D:\\My Savers");
  EXPECT_GE(run.system.cursorCount, 6);
  EXPECT_EQ(run.system.endCount, 1);
  EXPECT_TRUE(run.store.writes.empty());
  EXPECT_EQ(run.store.values, before);
  EXPECT_FALSE(run.system.screenSaverRunning);
}

TEST(FatalReport, ShowsTheCursorWithdrawsTheSaversNoticeAndEnds) {
  fakes::FakeSystem system;
  Program program;
  program.settings.LineBreak = "\r\n";
  system.cursorCount = -7;
  system.SetScreenSaverRunning(true);
  program.screenSaverNoticeGiven = true;
  system.events.clear();
  ReportFatalError(Failure(-3, "Strange"), program, system);
  EXPECT_EQ(system.cursorCount, 6);
  EXPECT_FALSE(system.screenSaverRunning);
  EXPECT_FALSE(program.screenSaverNoticeGiven);
  ASSERT_EQ(system.messageBoxes.size(), 1u);
  EXPECT_NE(system.messageBoxes[0].text.find("\r\nError Number: -3\r\nMessage: Strange\r\n"),
            std::string::npos);
  EXPECT_NE(system.messageBoxes[0].text.back(), '\n');
  EXPECT_EQ(system.events.back(), "end");
  EXPECT_EQ(system.events[system.events.size() - 2], "message box");

  // Without the saver's notice the report leaves the system's notice alone.
  fakes::FakeSystem quiet;
  Program fresh;
  ReportFatalError(Failure(13, "Type mismatch"), fresh, quiet);
  for (const std::string& event : quiet.events) EXPECT_NE(event, "notice off");
}

TEST(FatalReport, UnhandledFailureReportReadsLikeTheStandardOne) {
  fakes::FakeSystem system;
  Program program;
  program.settings.LineBreak = "\r\n";
  program.screenSaverNoticeGiven = true;
  system.cursorCount = -6;
  ReportUnhandledFailure(Failure(53, "File not found"), program, system);
  ASSERT_EQ(system.messageBoxes.size(), 1u);
  EXPECT_EQ(system.messageBoxes[0].text, "Run-time error '53':\r\n\r\nFile not found");
  EXPECT_EQ(system.messageBoxes[0].title, "Velun Saver");
  EXPECT_EQ(system.events.front(), "notice off");
  EXPECT_GE(system.cursorCount, 6);
  EXPECT_EQ(system.endCount, 1);
}

}  // namespace
}  // namespace velun
