// Bad input at the core's boundary, run through the whole program on the null
// platform: every case ends in its defined failure number and text, shown by the
// fatal report (start-up and the saver's load) or by the unhandled-failure report
// (later ticks), with the cursor shown again, the saver's notice withdrawn and
// the settings store left as it was.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "saver_harness.h"
#include "startup/main.h"

namespace velun {
namespace {

using testing::VerseFileText;
using testing::WriteTempVerseFile;

// Main's two windows as the Windows front end builds them, on the null screen.
class NullWindows : public ModeWindows {
 public:
  NullWindows(Program& program, SettingsStore& store, SystemServices& system)
      : program_(program), store_(store), system_(system) {}
  void ShowPreferences() override { FAIL() << "no preferences in these runs"; }
  void ShowSaver() override {
    form = std::make_unique<Form1>(program_, store_, system_, screen.window, screen.label1,
                                   screen.lblFrozen, screen.timer1, screen.timer2, random);
    screen.timer1.onTick = [this] { RunHandler(program_, system_, [this] { form->VerseCycle(); }); };
    screen.timer2.onTick = [this] { RunHandler(program_, system_, [this] { form->AnimationTick(); }); };
    form->Form_Load();
  }
  fakes::FakeScreen screen;
  UniformRandom random{UniformRandom::FixedSeed(5)};
  std::unique_ptr<Form1> form;

 private:
  Program& program_;
  SettingsStore& store_;
  SystemServices& system_;
};

struct ProgramRun {
  Program program;
  MemorySettingsStore store;
  fakes::FakeSystem system;
  NullWindows windows{program, store, system};
  std::map<MemorySettingsStore::Key, std::string> storedBefore;

  // The verse file lies in a folder of its own, as beside the real program.
  explicit ProgramRun(const std::string* verseFileText) {
    const auto folder = std::filesystem::temp_directory_path() /
                        ("velun_failure_" + std::to_string(::getpid()) + "_" +
                         std::to_string(counter++));
    std::filesystem::create_directories(folder);
    system.programFolder = folder.string();
    system.pathSeparator = "/";
    if (verseFileText) WriteFile(*verseFileText);
  }
  std::string VerseFile() const { return system.programFolder + "/finalvelun.txt"; }
  void WriteFile(const std::string& text) const {
    std::ofstream(VerseFile(), std::ios::binary) << text;
  }
  void Set(const std::string& section, const std::string& key, const std::string& text) {
    store.values[{"Velun Saver", section, key}] = text;
  }
  void Start() {
    storedBefore = store.values;
    system.argumentText = "/s";
    Main(program, system, store, windows);
  }
  static inline int counter = 0;
};

void ExpectEndedWith(const ProgramRun& run, int number, const std::string& description,
                     bool fatal, const std::string& label) {
  SCOPED_TRACE(label);
  ASSERT_EQ(run.system.messageBoxes.size(), 1u);
  const fakes::MessageBoxCall& box = run.system.messageBoxes[0];
  if (fatal) {
    EXPECT_EQ(box.title, "Error");
    EXPECT_EQ(box.style, 16);
    EXPECT_NE(box.text.find("\r\nError Number: " + std::to_string(number) + "\r\nMessage: " +
                            description + "\r\nPath: " + run.system.programFolder),
              std::string::npos)
        << box.text;
  } else {
    EXPECT_EQ(box.title, "Velun Saver");
    EXPECT_EQ(box.text, "Run-time error '" + std::to_string(number) + "':\r\n\r\n" + description);
  }
  EXPECT_GE(run.system.cursorCount, 6);
  EXPECT_FALSE(run.system.screenSaverRunning);
  EXPECT_EQ(run.system.endCount, 1);
  EXPECT_TRUE(run.program.ended);
  EXPECT_TRUE(run.store.writes.empty());
  EXPECT_EQ(run.store.values, run.storedBefore);
}

TEST(FailurePaths, EveryBadStoredSettingEndsTheStartInTheFatalReport) {
  struct Case {
    const char* section;
    const char* key;
    const char* text;
    int number;
    const char* description;
  };
  const Case cases[] = {
      {"Fonts", "Font Size", "big", 13, "Type mismatch"},
      {"Fonts", "Font Size", "32768", 6, "Overflow"},
      {"Fonts", "Font Size", "1,000", 13, "Type mismatch"},
      {"Fonts", "Font Color", "4294967296 blue", 6, "Overflow"},
      {"Fonts", "Font Bold", "yes", 13, "Type mismatch"},
      {"Fonts", "Font Italic", "", 13, "Type mismatch"},
      {"Fonts", "Font Strikethru", "Truth", 13, "Type mismatch"},
      {"Fonts", "Font Underline", "1x", 13, "Type mismatch"},
      {"Verse Selection", "type", "Random", 13, "Type mismatch"},
      {"Verse Selection", "type", "-40000", 6, "Overflow"},
      {"Animation", "type", "0x6", 13, "Type mismatch"},
      {"Animation", "Speed", "1e3", 13, "Type mismatch"},
      {"Animation", "Speed", "99999", 6, "Overflow"},
      {"Time", "Delay", "10s", 13, "Type mismatch"},
      {"Time", "Delay", "2147483647.5", 6, "Overflow"},
  };
  const std::string file = VerseFileText();
  for (const Case& c : cases) {
    ProgramRun run(&file);
    run.Set(c.section, c.key, c.text);
    run.Start();
    EXPECT_EQ(run.windows.form, nullptr) << "no window opens";
    ExpectEndedWith(run, c.number, c.description, true,
                    std::string(c.key) + " = \"" + c.text + "\"");
    EXPECT_TRUE(run.system.events.empty() || run.system.events.front() != "notice on");
  }
}

TEST(FailurePaths, BadVerseFilesEndTheSaversLoadInTheFatalReport) {
  const std::string good = VerseFileText();
  std::string randomBytes(200000, '\0');
  std::mt19937 bytes(42);
  for (char& c : randomBytes) c = static_cast<char>(bytes() & 0xFF);

  struct Case {
    std::string label;
    std::unique_ptr<std::string> file;  // none: the file is missing
    const char* order;
    int number;
    const char* description;
  };
  auto text = [](std::string s) { return std::make_unique<std::string>(std::move(s)); };
  auto replaceFirst = [&good](const std::string& from, const std::string& to) {
    std::string s = good;
    s.replace(s.find(from), from.size(), to);
    return s;
  };
  std::vector<Case> cases;
  cases.push_back({"missing", nullptr, "3", 53, "File not found"});
  cases.push_back({"empty", text(""), "3", 62, "Input past end of file"});
  cases.push_back({"only a few lines", text(good.substr(0, 300)), "2", 62, "Input past end of file"});
  cases.push_back({"heading without -", text(replaceFirst("*Chapter 1 - 1 - 56*", "*Chapter 1 : 1 : 56*")),
                   "1", 5, "Invalid procedure call or argument"});
  cases.push_back({"count not a number", text(replaceFirst("*Chapter 1 - 1 - 56*", "*Chapter 1 - 1 - lots*")),
                   "1", 13, "Type mismatch"});
  cases.push_back({"number out of range", text(replaceFirst("*Chapter 1 - 1 - 56*", "*Chapter 1 - 99999 - 56*")),
                   "1", 6, "Overflow"});
  cases.push_back({"verse line with *", text(VerseFileText(1, "a verse with * in it")), "1", 5,
                   "Invalid procedure call or argument"});
  cases.push_back({"line of 40000 characters", text(VerseFileText(1, std::string(40000, 'w'))), "1",
                   6, "Overflow"});
  cases.push_back({"random bytes", text(randomBytes), "3", 0, ""});
  for (Case& c : cases) {
    ProgramRun run(c.file.get());
    run.Set("Verse Selection", "type", c.order);
    run.Start();
    if (c.number == 0) {
      // Random bytes end in one of the verse file's failures, whichever comes first.
      ASSERT_EQ(run.system.messageBoxes.size(), 1u) << c.label;
      const std::string& message = run.system.messageBoxes[0].text;
      const bool defined = message.find("Error Number: 5\r\n") != std::string::npos ||
                           message.find("Error Number: 6\r\n") != std::string::npos ||
                           message.find("Error Number: 13\r\n") != std::string::npos ||
                           message.find("Error Number: 62\r\n") != std::string::npos;
      EXPECT_TRUE(defined) << message;
      EXPECT_GE(run.system.cursorCount, 6);
      EXPECT_FALSE(run.system.screenSaverRunning);
      EXPECT_TRUE(run.store.writes.empty());
      continue;
    }
    ExpectEndedWith(run, c.number, c.description, true, c.label);
  }
}

TEST(FailurePaths, FailuresAfterTheLoadEndThroughTheUnhandledFailureReport) {
  // The verse file removed while the saver runs: the next cycle cannot open it.
  {
    const std::string good = VerseFileText();
    ProgramRun run(&good);
    run.Set("Animation", "type", "5");
    run.Start();
    ASSERT_TRUE(run.system.messageBoxes.empty());
    ASSERT_TRUE(run.system.screenSaverRunning);
    std::filesystem::remove(run.VerseFile());
    run.windows.screen.timer1.Tick();
    ExpectEndedWith(run, 53, "File not found", false, "file deleted between two fetches");
    EXPECT_FALSE(run.windows.screen.timer1.enabled);
  }
  // A file short by one line is found out by the fetch that needs the last line.
  {
    std::string shortByOne = VerseFileText();
    shortByOne.erase(shortByOne.size() - 2);
    shortByOne.erase(shortByOne.rfind("\r\n") + 2);
    ProgramRun run(&shortByOne);
    run.Set("Verse Selection", "type", "1");
    run.Set("Animation", "type", "5");
    run.Start();
    int cycles = 1;
    while (!run.program.ended && cycles < 7000) {
      run.windows.screen.timer1.Tick();
      ++cycles;
    }
    EXPECT_EQ(cycles, 6348) << "the 6348th verse is the missing one";
    ExpectEndedWith(run, 62, "Input past end of file", false, "short by one line");
  }
}

}  // namespace
}  // namespace velun
