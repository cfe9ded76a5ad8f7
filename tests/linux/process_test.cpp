// The Linux program's process facilities: the argument text, the program folder
// through links, the instance lock and the signals that end the saver.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "platform/qt/process_services.h"

namespace velun::qt {
namespace {

namespace fs = std::filesystem;

fs::path FreshFolder(const std::string& name) {
  const fs::path folder =
      fs::temp_directory_path() / ("velun-process-" + std::to_string(getpid()) + "-" + name);
  fs::remove_all(folder);
  fs::create_directories(folder);
  return folder;
}

TEST(ProcessTest, TheArgumentTextIsTheArgumentsJoinedByBlanks) {
  const char* none[] = {"velun-saver"};
  const char* some[] = {"velun-saver", "/p", "123"};
  const char* blank[] = {"velun-saver", " /s"};
  EXPECT_EQ(ArgumentTextOf(1, none), "");
  EXPECT_EQ(ArgumentTextOf(3, some), "/p 123");
  EXPECT_EQ(ArgumentTextOf(2, blank), " /s");  // a leading blank stays: it matches nothing
}

TEST(ProcessTest, TheProgramFolderIsThatOfTheRealFileNotOfALinkToIt) {
  const fs::path folder = FreshFolder("link");
  fs::create_directories(folder / "lib/velun-saver");
  fs::create_directories(folder / "bin");
  std::ofstream(folder / "lib/velun-saver/velun-saver") << "program";
  fs::create_symlink("../lib/velun-saver/velun-saver", folder / "bin/velun-saver");
  EXPECT_EQ(FolderOfRealPath((folder / "bin/velun-saver").string()),
            fs::canonical(folder / "lib/velun-saver").string());
  EXPECT_EQ(FolderOfRealPath((folder / "missing").string()), ".");
  EXPECT_EQ(ProgramFolderPath(), fs::canonical("/proc/self/exe").parent_path().string());
  fs::remove_all(folder);
}

TEST(ProcessTest, TheLockLivesInTheRuntimeFolderOrPerUserInTheTempFolder) {
  const char* saved = std::getenv("XDG_RUNTIME_DIR");
  const std::string before = saved ? saved : "";
  setenv("XDG_RUNTIME_DIR", "/run/user/1234", 1);
  EXPECT_EQ(InstanceLockPath(), "/run/user/1234/velun-saver.lock");
  setenv("XDG_RUNTIME_DIR", "relative", 1);  // not absolute: not trusted
  EXPECT_EQ(InstanceLockPath(), (fs::temp_directory_path() /
                                 ("velun-saver-" + std::to_string(getuid()) + ".lock"))
                                    .string());
  if (saved) setenv("XDG_RUNTIME_DIR", before.c_str(), 1); else unsetenv("XDG_RUNTIME_DIR");
}

TEST(ProcessTest, OneProcessHoldsTheLockUntilItEndsEvenWhenItDies) {
  const fs::path folder = FreshFolder("lock");
  const std::string path = (folder / "velun-saver.lock").string();
  int ready[2];
  ASSERT_EQ(pipe(ready), 0);
  const pid_t holder = fork();
  ASSERT_GE(holder, 0);
  if (holder == 0) {
    const bool held = AnotherInstanceHolds(path);
    [[maybe_unused]] ssize_t n = write(ready[1], held ? "n" : "y", 1);
    pause();  // until killed: the kernel then releases the lock
    _exit(0);
  }
  char answer = 0;
  ASSERT_EQ(read(ready[0], &answer, 1), 1);
  EXPECT_EQ(answer, 'y') << "the first process did not get the lock";
  EXPECT_TRUE(AnotherInstanceHolds(path));
  kill(holder, SIGKILL);
  waitpid(holder, nullptr, 0);
  EXPECT_FALSE(AnotherInstanceHolds(path));  // this process holds it now
  const pid_t second = fork();
  if (second == 0) _exit(AnotherInstanceHolds(path) ? 0 : 1);
  int status = 0;
  waitpid(second, &status, 0);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "a second process got it too";
  fs::remove_all(folder);
}

TEST(ProcessTest, ALinkPlantedAtTheLockPathIsNotFollowed) {
  const fs::path folder = FreshFolder("planted");
  std::ofstream(folder / "victim") << "untouched";
  fs::create_symlink(folder / "victim", folder / "velun-saver.lock");
  EXPECT_FALSE(AnotherInstanceHolds((folder / "velun-saver.lock").string()));
  std::ifstream victim(folder / "victim");
  std::string text;
  victim >> text;
  EXPECT_EQ(text, "untouched");
  fs::remove_all(folder);
}

TEST(ProcessTest, TermAndIntArriveOnThePipeInsteadOfEndingTheProcess) {
  const int fd = TerminationSignalPipe();
  ASSERT_GE(fd, 0);
  EXPECT_EQ(TerminationSignalPipe(), fd);
  raise(SIGTERM);
  raise(SIGINT);
  unsigned char got[2] = {0, 0};
  ASSERT_EQ(read(fd, got, 2), 2);
  EXPECT_EQ(got[0], SIGTERM);
  EXPECT_EQ(got[1], SIGINT);
  signal(SIGTERM, SIG_DFL);
  signal(SIGINT, SIG_DFL);
}

}  // namespace
}  // namespace velun::qt
