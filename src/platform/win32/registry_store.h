#pragma once
// The per-user settings store in the registry.
// Implemented:
//  [X] HKEY_CURRENT_USER\Software\VB and VBA Program Settings\<application>\<section>,
//      the place Windows' standard application-settings functions use, so settings
//      stored by earlier builds keep working
//  [X] Read: REG_SZ / REG_EXPAND_SZ as text, REG_DWORD / REG_QWORD as decimal text;
//      a missing value, section or application (or another value type) reads as the default
//  [X] Write: REG_SZ, creating the keys that are missing; a failed write is skipped,
//      so the remaining settings are still written
#include "startup/settings.h"

namespace velun::win32 {

class RegistrySettingsStore : public SettingsStore {
 public:
  std::string Read(const std::string& application, const std::string& section,
                   const std::string& key, const std::string& defaultText) override;
  void Write(const std::string& application, const std::string& section, const std::string& key,
             const std::string& text) override;
};

}  // namespace velun::win32
