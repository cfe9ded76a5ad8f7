// The cost of a verse fetch, which reads the verse file from its first line
// every time, against a bare line-by-line read of the same lines.
#include <benchmark/benchmark.h>

#include <fstream>
#include <string>

#include "startup/settings.h"
#include "verses/random.h"
#include "verses/verse_source.h"

namespace {

velun::Settings SampleSettings() {
  velun::Settings settings;
  settings.LineBreak = "\r\n";
  settings.VerseFilePath = VELUN_SAMPLE_VERSE_FILE;
  return settings;
}

// std::getline over the whole sample file: every line a fetch of the last verse reads.
void BareReadOfAllLines(benchmark::State& state) {
  for (auto _ : state) {
    std::ifstream file(VELUN_SAMPLE_VERSE_FILE, std::ios::binary);
    std::string line;
    std::size_t lines = 0;
    while (std::getline(file, line)) ++lines;
    benchmark::DoNotOptimize(lines);
  }
}
BENCHMARK(BareReadOfAllLines)->Unit(benchmark::kMillisecond);

// From Begining to End at position 6348: the longest scan there is.
void FetchOfTheLastVerse(benchmark::State& state) {
  const velun::Settings settings = SampleSettings();
  velun::UniformRandom random(velun::UniformRandom::FixedSeed(1));
  velun::VerseIndex index;
  velun::PrepareVerseSource(index, settings, random);
  for (auto _ : state) {
    index.VerseIndex = velun::kVerseLineCount - 1;
    velun::FetchNextVerse(index, velun::kFromBeginingToEnd, settings, random);
    benchmark::DoNotOptimize(index.VerseText.data());
  }
}
BENCHMARK(FetchOfTheLastVerse)->Unit(benchmark::kMillisecond);

void FetchInOrder(benchmark::State& state, std::int16_t code) {
  const velun::Settings settings = SampleSettings();
  velun::UniformRandom random(velun::UniformRandom::FixedSeed(1));
  velun::VerseIndex index;
  velun::PrepareVerseSource(index, settings, random);
  for (auto _ : state) {
    velun::FetchNextVerse(index, code, settings, random);
    benchmark::DoNotOptimize(index.VerseText.data());
  }
}
BENCHMARK_CAPTURE(FetchInOrder, RandomVerse, velun::kRandomVerse)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(FetchInOrder, RandomChapter, velun::kRandomChapter)->Unit(benchmark::kMillisecond);

}  // namespace
