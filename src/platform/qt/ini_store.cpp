#include "platform/qt/ini_store.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

namespace velun::qt {
namespace {

constexpr std::string_view kBlanks = " \t";

std::string_view Trim(std::string_view text) {
  const std::size_t first = text.find_first_not_of(kBlanks);
  if (first == std::string_view::npos) return {};
  const std::size_t last = text.find_last_not_of(kBlanks);
  return text.substr(first, last - first + 1);
}

char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (LowerAscii(a[i]) != LowerAscii(b[i])) return false;
  return true;
}

std::vector<std::string_view> Lines(std::string_view text) {
  std::vector<std::string_view> lines;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    lines.push_back(line);
    if (end == std::string_view::npos) break;
    text.remove_prefix(end + 1);
  }
  return lines;
}

// "[name]" gives true and the name.
bool SectionHeader(std::string_view line, std::string_view& name) {
  const std::string_view trimmed = Trim(line);
  if (trimmed.size() < 2 || trimmed.front() != '[' || trimmed.back() != ']') return false;
  name = Trim(trimmed.substr(1, trimmed.size() - 2));
  return true;
}

// "key=value" gives true, the key and the raw value text.
bool KeyLine(std::string_view line, std::string_view& key, std::string_view& rawValue) {
  const std::string_view trimmed = Trim(line);
  if (trimmed.empty() || trimmed.front() == ';' || trimmed.front() == '#') return false;
  const std::size_t equals = line.find('=');
  if (equals == std::string_view::npos) return false;
  key = Trim(line.substr(0, equals));
  rawValue = Trim(line.substr(equals + 1));
  return true;
}

bool NeedsQuotes(std::string_view value) {
  if (value.empty()) return false;
  if (kBlanks.find(value.front()) != std::string_view::npos ||
      kBlanks.find(value.back()) != std::string_view::npos || value.front() == '"')
    return true;
  for (const char c : value)
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) return true;
  return false;
}

std::string EncodeValue(std::string_view value) {
  if (!NeedsQuotes(value)) return std::string(value);
  std::string out = "\"";
  for (const char c : value) {
    switch (c) {
      case '\\': out += "\\\\"; break;
      case '"': out += "\\\""; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      default:
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) {
          char escaped[5];
          std::snprintf(escaped, sizeof escaped, "\\x%02X", static_cast<unsigned char>(c));
          out += escaped;
        } else {
          out += c;
        }
    }
  }
  return out + "\"";
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  c = LowerAscii(c);
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

std::string DecodeValue(std::string_view raw) {
  if (raw.size() < 2 || raw.front() != '"' || raw.back() != '"') return std::string(raw);
  raw = raw.substr(1, raw.size() - 2);
  std::string out;
  for (std::size_t i = 0; i < raw.size(); ++i) {
    if (raw[i] != '\\' || i + 1 == raw.size()) {
      out += raw[i];
      continue;
    }
    const char escape = raw[++i];
    switch (escape) {
      case 'n': out += '\n'; break;
      case 'r': out += '\r'; break;
      case 't': out += '\t'; break;
      case 'x':
        if (i + 2 < raw.size() && HexDigit(raw[i + 1]) >= 0 && HexDigit(raw[i + 2]) >= 0) {
          out += static_cast<char>(HexDigit(raw[i + 1]) * 16 + HexDigit(raw[i + 2]));
          i += 2;
        } else {
          out += "\\x";
        }
        break;
      default: out += escape;  // \\ and \" and anything else stand for themselves
    }
  }
  return out;
}

bool ReadWholeFile(const std::string& path, std::string& content, bool& exists) {
  std::ifstream in(path, std::ios::binary);
  exists = in.is_open();
  if (!exists) {
    content.clear();
    return errno == ENOENT || errno == ENOTDIR;
  }
  std::ostringstream buffer;
  buffer << in.rdbuf();
  content = buffer.str();
  return !in.bad();
}

bool WriteAll(int fd, std::string_view content) {
  while (!content.empty()) {
    const ssize_t written = write(fd, content.data(), content.size());
    if (written < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    content.remove_prefix(static_cast<std::size_t>(written));
  }
  return true;
}

}  // namespace

std::string ApplicationFolderName(std::string_view application) {
  std::string name;
  for (const char c : Trim(application)) name += (c == ' ') ? '-' : LowerAscii(c);
  return name.empty() ? "velun-saver" : name;
}

bool FindIniValue(std::string_view ini, std::string_view section, std::string_view key,
                  std::string& value) {
  bool inSection = false;
  for (const std::string_view line : Lines(ini)) {
    std::string_view name, lineKey, raw;
    if (SectionHeader(line, name)) {
      inSection = SameName(name, section);
    } else if (inSection && KeyLine(line, lineKey, raw) && SameName(lineKey, key)) {
      value = DecodeValue(raw);
      return true;
    }
  }
  return false;
}

std::string SetIniValue(std::string_view ini, std::string_view section, std::string_view key,
                        std::string_view value) {
  std::vector<std::string_view> lines = Lines(ini);
  const std::string newLine = std::string(key) + "=" + EncodeValue(value);
  std::vector<std::string> out(lines.begin(), lines.end());

  bool inSection = false;
  bool replaced = false;
  std::ptrdiff_t lastOfSection = -1;  // where a new key of the section goes after
  for (std::size_t i = 0; i < lines.size() && !replaced; ++i) {
    std::string_view name, lineKey, raw;
    if (SectionHeader(lines[i], name)) {
      if (inSection) break;  // the section ended without the key
      inSection = SameName(name, section);
      if (inSection) lastOfSection = static_cast<std::ptrdiff_t>(i);
    } else if (inSection) {
      if (KeyLine(lines[i], lineKey, raw) && SameName(lineKey, key)) {
        out[i] = newLine;
        replaced = true;
      } else if (!Trim(lines[i]).empty()) {
        lastOfSection = static_cast<std::ptrdiff_t>(i);
      }
    }
  }
  if (!replaced && lastOfSection >= 0) {
    out.insert(out.begin() + lastOfSection + 1, newLine);
  } else if (!replaced) {
    if (!out.empty() && !Trim(out.back()).empty()) out.emplace_back();
    out.push_back("[" + std::string(section) + "]");
    out.push_back(newLine);
  }
  std::string text;
  for (const std::string& line : out) text += line + "\n";
  return text;
}

bool ReplaceFileContents(const std::string& path, std::string_view content) {
  std::string temp = path + ".XXXXXX";
  const int fd = mkstemp(temp.data());
  if (fd < 0) return false;
  const bool written = WriteAll(fd, content) && fsync(fd) == 0;
  const bool closed = close(fd) == 0;
  if (!written || !closed || rename(temp.c_str(), path.c_str()) != 0) {
    unlink(temp.c_str());
    return false;
  }
  // The rename itself reaches the disk with the folder.
  const std::string folder = std::filesystem::path(path).parent_path().string();
  const int folderFd = open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (folderFd >= 0) {
    fsync(folderFd);
    close(folderFd);
  }
  return true;
}

IniSettingsStore::IniSettingsStore(std::string configHome) : configHome_(std::move(configHome)) {}

std::string IniSettingsStore::DefaultConfigHome() {
  const char* config = std::getenv("XDG_CONFIG_HOME");
  if (config != nullptr && config[0] == '/') return config;
  const char* home = std::getenv("HOME");
  if (home == nullptr || home[0] == '\0') {
    const passwd* entry = getpwuid(getuid());
    home = entry != nullptr ? entry->pw_dir : "/tmp";
  }
  return std::string(home) + "/.config";
}

std::string IniSettingsStore::FilePath(const std::string& application) const {
  return configHome_ + "/" + ApplicationFolderName(application) + "/settings.ini";
}

std::string IniSettingsStore::Read(const std::string& application, const std::string& section,
                                   const std::string& key, const std::string& defaultText) {
  std::string content, value;
  bool exists = false;
  if (!ReadWholeFile(FilePath(application), content, exists) || !exists) return defaultText;
  return FindIniValue(content, section, key, value) ? value : defaultText;
}

void IniSettingsStore::Write(const std::string& application, const std::string& section,
                             const std::string& key, const std::string& text) {
  const std::string path = FilePath(application);
  std::string content;
  bool exists = false;
  lastWriteSucceeded_ = false;
  // A file that exists but cannot be read is not replaced: its other lines would be lost.
  if (!ReadWholeFile(path, content, exists)) return;
  std::error_code error;
  std::filesystem::create_directories(std::filesystem::path(path).parent_path(), error);
  lastWriteSucceeded_ = ReplaceFileContents(path, SetIniValue(content, section, key, text));
}

}  // namespace velun::qt
