#pragma once
// Verse files in the saver's layout, written by the tests: 114 headings and
// 6348 verse lines whose text names their own chapter and verse ("verse 7:0"
// is the opening line of chapter 7), so every fetch can be checked against
// the reference the saver builds for it.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "fakes/failure_of.h"
#include "startup/failure.h"
#include "verses/verse_source.h"

namespace velun::testing {

inline bool HasOpeningLine(int chapter) { return chapter != 1 && chapter != 9; }

// Verse counts of chapters 1 to 114 (index 0 unused), uneven, adding up to 6236.
inline std::vector<int> LayoutCounts() {
  std::vector<int> counts(kChapterCount + 1, 0);
  int sum = 0;
  for (int c = 1; c <= kChapterCount; ++c) sum += counts[c] = 5 + (c * 37) % 97;
  for (int c = 1; sum != 6236; c = c % kChapterCount + 1) {
    const int step = sum < 6236 ? 1 : -1;
    if (counts[c] + step >= 1) {
      counts[c] += step;
      sum += step;
    }
  }
  return counts;
}

inline std::string ChapterNameOf(int chapter) { return "Name " + std::to_string(chapter); }
inline std::string VerseTextOf(int chapter, int verse) {
  return "verse " + std::to_string(chapter) + ":" + std::to_string(verse);
}
// The display text the saver builds for a verse of the layout file.
inline std::string DisplayOf(int chapter, int verse) {
  return VerseTextOf(chapter, verse) + "\r\n(" + ChapterNameOf(chapter) + ":" +
         std::to_string(verse) + ") ";
}

// The lines of a layout file, without line ends.
inline std::vector<std::string> LayoutLines() {
  const std::vector<int> counts = LayoutCounts();
  std::vector<std::string> lines;
  for (int c = 1; c <= kChapterCount; ++c) {
    lines.push_back("*" + ChapterNameOf(c) + " - " + std::to_string(c) + " - " +
                    std::to_string(counts[c]) + "*");
    for (int v = HasOpeningLine(c) ? 0 : 1; v <= counts[c]; ++v)
      lines.push_back(VerseTextOf(c, v));
  }
  return lines;
}

// Folders of verse files written by this process, removed when it ends. The
// names hold a number drawn per process: test runs of several build trees may
// share the temporary folder.
struct ScratchFolders {
  std::set<std::filesystem::path> made;
  std::string processTag = std::to_string(std::random_device{}());
  ~ScratchFolders() {
    std::error_code ignored;
    for (const auto& dir : made) std::filesystem::remove_all(dir, ignored);
  }
};

inline ScratchFolders& Scratch() {
  static ScratchFolders folders;
  return folders;
}

// A folder of this test's own.
inline std::filesystem::path TestDirectory() {
  const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
  std::string name = "velun_verses_" + Scratch().processTag;
  if (info) name += std::string("_") + info->test_suite_name() + "_" + info->name();
  const std::filesystem::path dir = std::filesystem::temp_directory_path() / name;
  std::filesystem::create_directories(dir);
  Scratch().made.insert(dir);
  return dir;
}

inline std::string WriteBytes(const std::string& fileName, const std::string& bytes) {
  const std::filesystem::path path = TestDirectory() / fileName;
  std::ofstream(path, std::ios::binary) << bytes;
  return path.string();
}

inline std::string JoinLines(const std::vector<std::string>& lines, const std::string& lineEnd) {
  std::string bytes;
  for (const std::string& line : lines) bytes += line + lineEnd;
  return bytes;
}

inline Settings SettingsFor(const std::string& path) {
  Settings settings;
  settings.LineBreak = "\r\n";
  settings.VerseFilePath = path;
  return settings;
}

}  // namespace velun::testing
