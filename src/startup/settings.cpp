#include "startup/settings.h"

#include "startup/conversions.h"

namespace velun {

std::string MemorySettingsStore::Read(const std::string& application, const std::string& section,
                                      const std::string& key, const std::string& defaultText) {
  reads.emplace_back(application, section, key);
  const auto found = values.find(Key{application, section, key});
  return found == values.end() ? defaultText : found->second;
}

void MemorySettingsStore::Write(const std::string& application, const std::string& section,
                                const std::string& key, const std::string& text) {
  writes.emplace_back(application, section, key);
  values[Key{application, section, key}] = text;
}

void LoadSettings(Settings& s, SettingsStore& store) {
  auto read = [&store](const char* section, const char* key, const char* defaultText) {
    return store.Read(kApplicationName, section, key, defaultText);
  };
  s.FontName = read("Fonts", "Font Name", "Traditional Arabic");
  s.FontSize = TextToNumber16(read("Fonts", "Font Size", "30"));
  s.FontColor = TextToLeadingNumber32(read("Fonts", "Font Color", "128"));
  s.FontBold = TextToBoolean(read("Fonts", "Font Bold", "False"));
  s.FontItalic = TextToBoolean(read("Fonts", "Font Italic", "False"));
  s.FontStrikethru = TextToBoolean(read("Fonts", "Font Strikethru", "False"));
  s.FontUnderline = TextToBoolean(read("Fonts", "Font Underline", "False"));
  s.VerseSelectionType = TextToNumber16(read("Verse Selection", "type", "3"));
  s.AnimationType = TextToNumber16(read("Animation", "type", "1000"));
  // 6 is the list position of Random Animation, stored by older builds; its code is 1000.
  if (s.AnimationType == 6) s.AnimationType = kRandomAnimation;
  s.AnimationSpeed = TextToNumber16(read("Animation", "Speed", "600"));
  s.TimeDelay = TextToNumber32(read("Time", "Delay", "10000"));
}

void SaveSettings(const Settings& s, SettingsStore& store) {
  auto write = [&store](const char* section, const char* key, const std::string& text) {
    store.Write(kApplicationName, section, key, text);
  };
  write("Fonts", "Font Name", s.FontName);
  write("Fonts", "Font Size", NumberToText(s.FontSize));
  write("Fonts", "Font Color", NumberToText(s.FontColor));
  write("Fonts", "Font Bold", BooleanToText(s.FontBold));
  write("Fonts", "Font Italic", BooleanToText(s.FontItalic));
  write("Fonts", "Font Strikethru", BooleanToText(s.FontStrikethru));
  write("Fonts", "Font Underline", BooleanToText(s.FontUnderline));
  write("Verse Selection", "type", NumberToText(s.VerseSelectionType));
  write("Animation", "type", NumberToText(s.AnimationType));
  write("Animation", "Speed", NumberToText(s.AnimationSpeed));
  write("Time", "Delay", NumberToText(s.TimeDelay));
}

}  // namespace velun
