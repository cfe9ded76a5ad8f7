// Any byte content handed to the verse source through a file either yields
// display texts or raises one of the defined failures: no crash, no hang, and
// memory stays bounded (the smoke run sets an RSS limit).
//
// The first input byte picks the shape: even values use the input as the whole
// file; odd values splice the rest of the input into a well-formed file (114
// chapters, 6348 verse lines) at a line chosen by the second and third bytes, so
// that fetches get far into the file before they meet the damage.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "startup/failure.h"
#include "startup/settings.h"
#include "verses/random.h"
#include "verses/verse_source.h"

namespace {

std::string WellFormedFile() {
  std::string text;
  int verseLines = 0;
  for (int chapter = 1; chapter <= 114; ++chapter) {
    const bool hasOpening = chapter != 1 && chapter != 9;
    int count = chapter <= 16 ? 100 : (6236 - 16 * 100) / 98;  // 4636 / 98 = 47 rest 30
    if (chapter > 16 && chapter - 16 <= 30) ++count;
    text += "*n" + std::to_string(chapter) + " - " + std::to_string(chapter) + " - " +
            std::to_string(count) + "*\r\n";
    for (int v = hasOpening ? 0 : 1; v <= count; ++v, ++verseLines) text += "w v\r\n";
  }
  if (verseLines != 6348) std::abort();
  return text;
}

std::string FilePath() {
  static const std::string path = "/tmp/velun_fuzz_verses_" + std::to_string(getpid()) + ".txt";
  return path;
}

bool IsDefinedFailure(int n) {
  return n == 5 || n == 6 || n == 9 || n == 13 || n == 53 || n == 62;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const std::string wellFormed = WellFormedFile();
  if (size < 3) return 0;
  const std::string_view rest(reinterpret_cast<const char*>(data) + 3, size - 3);
  std::string content;
  if (data[0] % 2 == 0) {
    content.assign(reinterpret_cast<const char*>(data), size);
  } else {
    const std::size_t line = (static_cast<std::size_t>(data[1]) << 8 | data[2]) % 6462;
    std::size_t at = 0;
    for (std::size_t i = 0; i < line; ++i) at = wellFormed.find('\n', at) + 1;
    const std::size_t end = wellFormed.find('\n', at) + 1;
    content = wellFormed.substr(0, at);
    content += rest;
    content += wellFormed.substr(data[0] % 4 == 1 ? end : at);  // replace the line, or insert
  }
  if (FILE* f = std::fopen(FilePath().c_str(), "wb")) {
    std::fwrite(content.data(), 1, content.size(), f);
    std::fclose(f);
  }

  velun::Settings settings;
  settings.LineBreak = "\r\n";
  settings.VerseFilePath = FilePath();
  for (std::int16_t order = 1; order <= 3; ++order) {
    velun::VerseIndex index;
    velun::UniformRandom random(velun::UniformRandom::FixedSeed(size + order));
    try {
      velun::PrepareVerseSource(index, settings, random);
      for (int fetch = 0; fetch < 3; ++fetch) {
        velun::FetchNextVerse(index, order, settings, random);
        // A display text ends with the reference's ") ".
        if (index.VerseText.size() < 2 || index.VerseText.compare(index.VerseText.size() - 2, 2, ") ") != 0)
          std::abort();
      }
    } catch (const velun::Failure& failure) {
      if (!IsDefinedFailure(failure.Number())) std::abort();
    }
  }
  return 0;
}
