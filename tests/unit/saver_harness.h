#pragma once
// A saver window on the null platform: the start-up state, a memory settings
// store, the fake system and screen, a fixed random seed, and a generated verse
// file in the real layout (114 chapters, 6348 verse lines).
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

#include "fakes/fake_system.h"
#include "fakes/fake_window.h"
#include "saver/form1.h"
#include "saver/run_handler.h"
#include "startup/program.h"
#include "startup/settings.h"
#include "verses/random.h"

namespace velun::testing {

// Chapter n is named "Chapter <n>"; chapters 1 to 78 hold 56 lines, the rest 55,
// the opening line of chapters other than 1 and 9 included: 6348 in all.
inline std::int16_t ChapterLines(int chapter) { return chapter <= 78 ? 56 : 55; }

// The words of the verse line at a position of the file: 1 to 17 words of 1
// to 6 letters, with blanks at both ends to be trimmed.
inline std::string VerseLineAt(int position) {
  std::string line = "  ";
  const int words = 1 + position % 17;
  for (int k = 0; k < words; ++k) {
    if (k > 0) line += ' ';
    line += std::string(1 + (position * 7 + k) % 6, static_cast<char>('a' + (position + k) % 26));
  }
  return line + " ";
}

// The file text; overrideLine, when given, replaces the verse line at that position.
inline std::string VerseFileText(int overridePosition = 0, const std::string& overrideLine = {}) {
  std::string text;
  int position = 0;
  for (int chapter = 1; chapter <= kChapterCount; ++chapter) {
    const bool numberedFromOne = chapter == 1 || chapter == 9;
    const int lines = ChapterLines(chapter);
    text += "*Chapter " + std::to_string(chapter) + " - " + std::to_string(chapter) + " - " +
            std::to_string(numberedFromOne ? lines : lines - 1) + "*\r\n";
    for (int i = 0; i < lines; ++i) {
      ++position;
      text += (position == overridePosition ? overrideLine : VerseLineAt(position)) + "\r\n";
    }
  }
  return text;
}

inline std::string WriteTempVerseFile(const std::string& stem, const std::string& text) {
  const auto path = std::filesystem::temp_directory_path() /
                    ("velun_saver_" + stem + "_" + std::to_string(::getpid()) + ".txt");
  std::ofstream(path, std::ios::binary) << text;
  return path.string();
}

// One verse file shared by the tests that only read it.
inline const std::string& SharedVerseFile() {
  static const std::string path = WriteTempVerseFile("shared", VerseFileText());
  return path;
}

// The display text of the verse at a position of the file, for the orders
// that count verse lines.
inline std::string DisplayTextAt(int position) {
  int chapter = 1, first = 1;
  while (position >= first + ChapterLines(chapter)) first += ChapterLines(chapter++);
  const int number = position - first + ((chapter == 1 || chapter == 9) ? 1 : 0);
  std::string line = VerseLineAt(position);
  const auto begin = line.find_first_not_of(' ');
  const auto end = line.find_last_not_of(' ');
  return line.substr(begin, end - begin + 1) + "\r\n(Chapter " + std::to_string(chapter) + ":" +
         std::to_string(number) + ") ";
}

struct SaverHarness {
  Program program;
  MemorySettingsStore store;
  fakes::FakeSystem system;
  fakes::FakeScreen screen;
  UniformRandom random{UniformRandom::FixedSeed(20261207)};
  Form1 form;

  explicit SaverHarness(const std::string& verseFile = SharedVerseFile())
      : form(program, store, system, screen.window, screen.label1, screen.lblFrozen,
             screen.timer1, screen.timer2, random) {
    MemorySettingsStore empty;
    LoadSettings(program.settings, empty);  // the defaults of a fresh store
    program.settings.LineBreak = "\r\n";
    program.settings.VerseFilePath = verseFile;
    // The front end's wiring: every tick through the unhandled-failure report.
    screen.timer1.onTick = [this] { Run([this] { form.VerseCycle(); }); };
    screen.timer2.onTick = [this] { Run([this] { form.AnimationTick(); }); };
  }

  template <typename Handler>
  void Run(Handler&& handler) {
    RunHandler(program, system, std::forward<Handler>(handler));
  }
  void Load() { form.Form_Load(); }
  void Key(std::int16_t keyCode, std::int16_t shift = 0) {
    Run([&] { form.Form_KeyDown(keyCode, shift); });
  }
  void Mouse(float x, float y) { Run([&] { form.Form_MouseMove(0, 0, x, y); }); }
  // Ticks the animation timer until the slide under way has ended; the number of ticks.
  int FinishSlide(int limit = 100000) {
    int ticks = 0;
    while (screen.timer2.enabled && ticks < limit) {
      screen.timer2.Tick();
      ++ticks;
    }
    return ticks;
  }
};

}  // namespace velun::testing
