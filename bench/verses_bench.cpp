// A verse fetch reads the verse file from its first line every time. Each order's
// fetch is measured beside its baseline: a bare std::getline read of exactly the
// lines that the same fetches scan. scripts/bench.sh prints the ratios.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

#include "startup/settings.h"
#include "verses/random.h"
#include "verses/verse_source.h"

namespace {

constexpr int kFetchesPerRound = 64;

velun::Settings SampleSettings() {
  velun::Settings settings;
  settings.LineBreak = "\r\n";
  settings.VerseFilePath = VELUN_SAMPLE_VERSE_FILE;
  return settings;
}

// Line numbers (from 1) of the sample file's heading lines and of its verse lines.
struct FileMap {
  std::vector<std::int64_t> headingLine{0};  // headingLine[k]: line of the k-th heading
  std::vector<std::int64_t> verseLine{0};    // verseLine[p]: line of verse position p
};

const FileMap& SampleMap() {
  static const FileMap map = [] {
    FileMap m;
    std::ifstream file(VELUN_SAMPLE_VERSE_FILE, std::ios::binary);
    std::string line;
    for (std::int64_t n = 1; std::getline(file, line); ++n) {
      (line.find('*') != std::string::npos ? m.headingLine : m.verseLine).push_back(n);
    }
    return m;
  }();
  return map;
}

// How many lines one fetch scans, worked out from the index before and after it.
std::int64_t LinesScanned(const velun::VerseIndex& before, const velun::VerseIndex& after,
                          std::int16_t code) {
  const FileMap& map = SampleMap();
  if (code != velun::kRandomChapter) return map.verseLine[after.VerseIndex];
  std::int64_t lines = 0;
  if (before.NextVerse > before.ChapterVerseCount) lines += map.headingLine[after.ChapterPick];
  const bool noOpening = after.ChapterPick == 1 || after.ChapterPick == 9;
  const std::int64_t shown = after.NextVerse - 1;  // the verse number just shown
  return lines + map.headingLine[after.ChapterPick] + shown + (noOpening ? 0 : 1);
}

// The same fetches every round: the index is put back to where the round began.
struct FetchRound {
  velun::Settings settings = SampleSettings();
  velun::UniformRandom random{velun::UniformRandom::FixedSeed(7)};
  velun::VerseIndex start;
  std::vector<std::int64_t> lines;  // lines scanned by each fetch of the round

  explicit FetchRound(std::int16_t code) {
    velun::PrepareVerseSource(start, settings, random);
    velun::VerseIndex index = start;
    velun::UniformRandom dry{velun::UniformRandom::FixedSeed(11)};
    for (int i = 0; i < kFetchesPerRound; ++i) {
      const velun::VerseIndex before = index;
      velun::FetchNextVerse(index, code, settings, dry);
      lines.push_back(LinesScanned(before, index, code));
    }
  }
};

void Fetch(benchmark::State& state, std::int16_t code) {
  FetchRound round(code);
  std::int64_t lines = 0;
  for (auto _ : state) {
    velun::VerseIndex index = round.start;
    velun::UniformRandom random{velun::UniformRandom::FixedSeed(11)};
    for (int i = 0; i < kFetchesPerRound; ++i) {
      velun::FetchNextVerse(index, code, round.settings, random);
      benchmark::DoNotOptimize(index.VerseText.data());
    }
  }
  for (std::int64_t n : round.lines) lines += n;
  state.counters["lines_per_fetch"] = static_cast<double>(lines) / kFetchesPerRound;
  state.SetItemsProcessed(state.iterations() * kFetchesPerRound);
}

// The baseline: open the file and read the same numbers of lines with std::getline.
void BareRead(benchmark::State& state, std::int16_t code) {
  FetchRound round(code);
  for (auto _ : state) {
    for (std::int64_t count : round.lines) {
      std::ifstream file(VELUN_SAMPLE_VERSE_FILE, std::ios::binary);
      std::string line;
      for (std::int64_t n = 0; n < count && std::getline(file, line); ++n) {
      }
      benchmark::DoNotOptimize(line.data());
    }
  }
  state.SetItemsProcessed(state.iterations() * kFetchesPerRound);
}

BENCHMARK_CAPTURE(Fetch, FromBeginingToEnd, velun::kFromBeginingToEnd)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BareRead, FromBeginingToEnd, velun::kFromBeginingToEnd)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(Fetch, RandomChapter, velun::kRandomChapter)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BareRead, RandomChapter, velun::kRandomChapter)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(Fetch, RandomVerse, velun::kRandomVerse)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BareRead, RandomVerse, velun::kRandomVerse)->Unit(benchmark::kMicrosecond);

}  // namespace
