#pragma once
// The per-user settings store of the Linux program: one INI file per application.
// Implemented:
//  [X] $XDG_CONFIG_HOME/<application folder>/settings.ini (~/.config when the variable
//      is unset or not absolute); "Velun Saver" lives in velun-saver/
//  [X] Human-readable: "[Fonts]" then "Font Name=Traditional Arabic"; section and key
//      names as given, blanks and all, matched without regard to letter case like the
//      registry's; a value with outer blanks or control characters is written in
//      quotes with backslash escapes, so that no text can break the file's lines
//  [X] Read with default: a missing file, section or key gives the default
//  [X] Write: the file is read, the one line changed (or added), and the whole file
//      written to a temporary file in the same folder, flushed to disk and renamed
//      over the old one, so a kill or a full disk never leaves it half written;
//      comments, other keys and the order of lines are kept
//  [X] A write that fails leaves the old file as it was and is skipped, so the
//      remaining settings are still written (the registry store does the same)
//  [ ] No locking between processes: the program runs one instance at a time
// Plain C++ and POSIX (no Qt), tested on every build machine.
#include <string>
#include <string_view>

#include "startup/settings.h"

namespace velun::qt {

class IniSettingsStore : public SettingsStore {
 public:
  // configHome: the folder that holds each application's folder.
  explicit IniSettingsStore(std::string configHome);
  static std::string DefaultConfigHome();  // $XDG_CONFIG_HOME or $HOME/.config

  std::string Read(const std::string& application, const std::string& section,
                   const std::string& key, const std::string& defaultText) override;
  void Write(const std::string& application, const std::string& section, const std::string& key,
             const std::string& text) override;

  std::string FilePath(const std::string& application) const;
  // False when the last Write could not replace the file.
  bool LastWriteSucceeded() const { return lastWriteSucceeded_; }

 private:
  std::string configHome_;
  bool lastWriteSucceeded_ = true;
};

// "Velun Saver" -> "velun-saver": lower-case letters, blanks as dashes.
std::string ApplicationFolderName(std::string_view application);

// The value of a key in INI text, or false when the section or key is missing.
bool FindIniValue(std::string_view ini, std::string_view section, std::string_view key,
                  std::string& value);
// The INI text with the key set to the value, added (with its section) when missing.
std::string SetIniValue(std::string_view ini, std::string_view section, std::string_view key,
                        std::string_view value);

// Writes the content to a temporary file beside path, flushes it to disk and
// renames it over path. On failure the temporary file is removed, path is left
// as it was, and false is returned.
bool ReplaceFileContents(const std::string& path, std::string_view content);

}  // namespace velun::qt
