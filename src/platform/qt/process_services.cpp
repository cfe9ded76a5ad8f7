#include "platform/qt/process_services.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <filesystem>

namespace velun::qt {
namespace {

int signalWriteEnd = -1;

void WriteSignal(int number) {
  const int saved = errno;
  const unsigned char byte = static_cast<unsigned char>(number);
  [[maybe_unused]] const ssize_t written = write(signalWriteEnd, &byte, 1);
  errno = saved;
}

}  // namespace

std::string ArgumentTextOf(int argc, const char* const* argv) {
  std::string text;
  for (int i = 1; i < argc; ++i) {
    if (i > 1) text += ' ';
    text += argv[i];
  }
  return text;
}

std::string FolderOfRealPath(const std::string& path) {
  std::error_code error;
  const std::filesystem::path real = std::filesystem::canonical(path, error);
  if (error || !real.has_parent_path()) return ".";
  return real.parent_path().string();
}

std::string ProgramFolderPath() { return FolderOfRealPath("/proc/self/exe"); }

std::string InstanceLockPath(const std::string& name) {
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  if (runtime != nullptr && runtime[0] == '/') return std::string(runtime) + "/" + name + ".lock";
  std::error_code error;
  std::filesystem::path temp = std::filesystem::temp_directory_path(error);
  if (error) temp = "/tmp";
  return (temp / (name + "-" + std::to_string(getuid()) + ".lock")).string();
}

bool AnotherInstanceHolds(const std::string& path) {
  // The descriptor stays open (and the lock held) until the process ends. A link
  // planted at the path in a shared temp folder is not followed.
  const int fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
  if (fd < 0) return false;
  if (flock(fd, LOCK_EX | LOCK_NB) == 0) return false;
  const bool held = errno == EWOULDBLOCK;
  close(fd);
  return held;
}

int TerminationSignalPipe() {
  static int readEnd = -1;
  if (readEnd >= 0) return readEnd;
  int ends[2];
  if (pipe2(ends, O_CLOEXEC | O_NONBLOCK) != 0) return -1;
  readEnd = ends[0];
  signalWriteEnd = ends[1];
  struct sigaction action {};
  action.sa_handler = WriteSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  sigaction(SIGTERM, &action, nullptr);
  sigaction(SIGINT, &action, nullptr);
  return readEnd;
}

}  // namespace velun::qt
