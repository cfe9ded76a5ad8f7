#pragma once
// The settings record shared by every part of the program, and its load from
// and save to the per-user settings store.
#include <cstdint>
#include <map>
#include <string>
#include <tuple>
#include <vector>

namespace velun {

inline constexpr const char* kApplicationName = "Velun Saver";

// Verse orders, as stored in VerseSelectionType.
inline constexpr std::int16_t kFromBeginingToEnd = 1;
inline constexpr std::int16_t kRandomChapter = 2;
inline constexpr std::int16_t kRandomVerse = 3;

// Animation codes, as stored in AnimationType.
inline constexpr std::int16_t kSlideFromTop = 1;
inline constexpr std::int16_t kSlideFromBottom = 2;
inline constexpr std::int16_t kSlideFromLeft = 3;
inline constexpr std::int16_t kSlideFromRight = 4;
inline constexpr std::int16_t kPopOnScreen = 5;
inline constexpr std::int16_t kRandomAnimation = 1000;  // the sixth entry, but 1000, not 6

struct Settings {
  std::string FontName;
  std::int16_t FontSize = 0;
  std::int32_t FontColor = 0;  // red in the low byte, then green, then blue
  bool FontBold = false;
  bool FontItalic = false;
  bool FontStrikethru = false;
  bool FontUnderline = false;
  std::int16_t VerseSelectionType = 0;
  std::int16_t AnimationType = 0;
  std::int16_t AnimationSpeed = 0;
  std::int32_t TimeDelay = 0;  // milliseconds
  std::string LineBreak;       // CR LF, set first thing at start-up
  std::string VerseFilePath;   // program folder + separator + "finalvelun.txt"
};

// The per-user settings store: named texts under application, section and key.
class SettingsStore {
 public:
  virtual ~SettingsStore() = default;
  // The stored text, or defaultText when the key (or its section) does not exist.
  virtual std::string Read(const std::string& application, const std::string& section,
                           const std::string& key, const std::string& defaultText) = 0;
  // Stores the text, creating the application, section and key as needed.
  virtual void Write(const std::string& application, const std::string& section,
                     const std::string& key, const std::string& text) = 0;
};

// A store held in memory: serves the tests and the tools.
class MemorySettingsStore : public SettingsStore {
 public:
  using Key = std::tuple<std::string, std::string, std::string>;  // application, section, key

  std::string Read(const std::string& application, const std::string& section,
                   const std::string& key, const std::string& defaultText) override;
  void Write(const std::string& application, const std::string& section, const std::string& key,
             const std::string& text) override;

  std::map<Key, std::string> values;
  std::vector<Key> reads;   // every key read, in order
  std::vector<Key> writes;  // every key written, in order
};

// Reads the eleven settings in their fixed order; a text that cannot be
// converted raises its failure and leaves the members not yet read as they were.
void LoadSettings(Settings& settings, SettingsStore& store);
// Writes the eleven settings in the same order.
void SaveSettings(const Settings& settings, SettingsStore& store);

}  // namespace velun
