// The Linux program's settings store: a readable INI file that a kill or a full disk
// during a save never leaves half written.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "platform/qt/ini_store.h"
#include "startup/settings.h"

namespace velun::qt {
namespace {

namespace fs = std::filesystem;

class IniStoreTest : public ::testing::Test {
 protected:
  void SetUp() override {
    home_ = fs::temp_directory_path() /
            ("velun-ini-" + std::to_string(getpid()) + "-" +
             ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(home_);
    fs::create_directories(home_);
  }
  void TearDown() override { fs::remove_all(home_); }

  std::string FileText() const {
    std::ifstream in(store_.FilePath(kApplicationName));
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
  }
  std::vector<std::string> FilesBeside() const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(home_ / "velun-saver"))
      names.push_back(entry.path().filename().string());
    return names;
  }

  fs::path home_;
  IniSettingsStore store_{""};
};

TEST_F(IniStoreTest, AFreshStoreGetsTheElevenDefaultsInReadableSectionsAndReadsThemBack) {
  store_ = IniSettingsStore(home_.string());
  EXPECT_EQ(store_.FilePath(kApplicationName), (home_ / "velun-saver/settings.ini").string());
  Settings settings;
  LoadSettings(settings, store_);  // every key missing: the defaults
  EXPECT_FALSE(fs::exists(store_.FilePath(kApplicationName)));
  SaveSettings(settings, store_);
  EXPECT_EQ(FileText(),
            "[Fonts]\nFont Name=Traditional Arabic\nFont Size=30\nFont Color=128\n"
            "Font Bold=False\nFont Italic=False\nFont Strikethru=False\nFont Underline=False\n"
            "\n[Verse Selection]\ntype=3\n\n[Animation]\ntype=1000\nSpeed=600\n\n[Time]\n"
            "Delay=10000\n");
  EXPECT_EQ(FilesBeside(), std::vector<std::string>{"settings.ini"});
  Settings again;
  LoadSettings(again, store_);
  EXPECT_EQ(again.FontName, "Traditional Arabic");
  EXPECT_EQ(again.AnimationType, 1000);
  EXPECT_EQ(again.TimeDelay, 10000);
}

TEST_F(IniStoreTest, HandEditedFilesKeepTheirCommentsAndOtherKeysAndMatchNamesInAnyCase) {
  store_ = IniSettingsStore(home_.string());
  fs::create_directories(home_ / "velun-saver");
  std::ofstream(home_ / "velun-saver/settings.ini")
      << "; my choices\r\n[fonts]\r\n  font size = 24 \r\nMy Key=kept\r\n\r\n[Time]\r\nDelay=5000\r\n";
  EXPECT_EQ(store_.Read(kApplicationName, "Fonts", "Font Size", "30"), "24");
  EXPECT_EQ(store_.Read(kApplicationName, "Time", "delay", "1"), "5000");
  EXPECT_EQ(store_.Read(kApplicationName, "Time", "Font Size", "none"), "none");
  store_.Write(kApplicationName, "Fonts", "Font Size", "20");
  store_.Write(kApplicationName, "Fonts", "Font Bold", "True");
  store_.Write(kApplicationName, "Animation", "type", "5");
  EXPECT_EQ(FileText(),
            "; my choices\n[fonts]\nFont Size=20\nMy Key=kept\nFont Bold=True\n\n[Time]\n"
            "Delay=5000\n\n[Animation]\ntype=5\n");
}

TEST_F(IniStoreTest, NoTextCanBreakTheFileIntoOtherLines) {
  store_ = IniSettingsStore(home_.string());
  for (const std::string& text :
       {std::string("Amiri\n[Time]\nDelay=1"), std::string("  blanks and \"quotes\"  "),
        std::string("tab\tback\\slash\r"), std::string("\"quoted\""), std::string("")}) {
    store_.Write(kApplicationName, "Fonts", "Font Name", text);
    EXPECT_EQ(store_.Read(kApplicationName, "Fonts", "Font Name", "?"), text);
    EXPECT_EQ(store_.Read(kApplicationName, "Time", "Delay", "none"), "none");
  }
}

TEST_F(IniStoreTest, AFileThatCannotBeReadIsNotReplaced) {
  store_ = IniSettingsStore(home_.string());
  fs::create_directories(home_ / "velun-saver/settings.ini");  // a folder in its place
  EXPECT_EQ(store_.Read(kApplicationName, "Fonts", "Font Size", "30"), "30");
  store_.Write(kApplicationName, "Fonts", "Font Size", "20");
  EXPECT_FALSE(store_.LastWriteSucceeded());
  EXPECT_TRUE(fs::is_directory(home_ / "velun-saver/settings.ini"));
}

// Writes the font name again and again, alternating between two long texts, until killed.
[[noreturn]] void SaveForever(IniSettingsStore& store, const std::string& a, const std::string& b) {
  for (unsigned i = 0;; ++i) store.Write(kApplicationName, "Fonts", "Font Name", i % 2 ? a : b);
}

TEST_F(IniStoreTest, AKillDuringASaveLeavesTheOldFileOrTheNewOneNeverAPart) {
  store_ = IniSettingsStore(home_.string());
  const std::string a(200000, 'a'), b(300000, 'b');
  store_.Write(kApplicationName, "Fonts", "Font Name", "first");
  for (int round = 0; round < 25; ++round) {
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) SaveForever(store_, a, b);
    std::this_thread::sleep_for(std::chrono::microseconds(2000 + 1500 * round));
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
    const std::string name = store_.Read(kApplicationName, "Fonts", "Font Name", "missing");
    EXPECT_TRUE(name == "first" || name == a || name == b)
        << "round " << round << ": a name of " << name.size() << " characters";
    const std::string text = FileText();
    EXPECT_EQ(text.back(), '\n') << "round " << round;
  }
}

TEST_F(IniStoreTest, AFullDiskDuringASaveLeavesTheOldFileAndNoTemporaryFile) {
  store_ = IniSettingsStore(home_.string());
  store_.Write(kApplicationName, "Fonts", "Font Name", "Amiri");
  const std::string before = FileText();
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    // A file may grow to 4 KiB only: the save of a long name runs out of room.
    signal(SIGXFSZ, SIG_IGN);
    rlimit limit{4096, 4096};
    setrlimit(RLIMIT_FSIZE, &limit);
    store_.Write(kApplicationName, "Fonts", "Font Name", std::string(10000, 'x'));
    _exit(store_.LastWriteSucceeded() ? 1 : 0);
  }
  int status = 0;
  waitpid(child, &status, 0);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0) << "the save did not notice the full disk";
  EXPECT_EQ(FileText(), before);
  EXPECT_EQ(FilesBeside(), std::vector<std::string>{"settings.ini"});
}

TEST(ApplicationFolderTest, NamesAreLowerCaseWithDashes) {
  EXPECT_EQ(ApplicationFolderName("Velun Saver"), "velun-saver");
  EXPECT_EQ(ApplicationFolderName("  "), "velun-saver");
}

}  // namespace
}  // namespace velun::qt
