// The layout of the sample file's longest verse on a 1920-pixel screen with the
// fake measure (a fixed width per character), beside its baseline: the same
// measuring calls alone, on the same strings, without the layout around them.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <fstream>
#include <string>
#include <vector>

#include "saver/verse_layout.h"
#include "verses/verse_source.h"

namespace {

constexpr std::int32_t kScreenTwips = 1920 * 15;        // 1920 pixels at 96 DPI
constexpr std::int32_t kMaxLineWidth = kScreenTwips - 2000;
constexpr float kTwipsPerCharacter = 300.0f;              // a large Arabic font

// The widest line, counting characters (not UTF-8 bytes) at a fixed width each.
float FakeMeasure(const std::string& text) {
  float widest = 0;
  float width = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    if (c == '\r' || c == '\n') {
      width = 0;
    } else if ((c & 0xC0) != 0x80) {
      width += kTwipsPerCharacter;
      widest = std::max(widest, width);
    }
  }
  return widest;
}

std::string LongestDisplayText() {
  std::ifstream file(VELUN_SAMPLE_VERSE_FILE, std::ios::binary);
  std::string line;
  std::string longest;
  while (std::getline(file, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.find('*') == std::string::npos && line.size() > longest.size()) longest = line;
  }
  return velun::BuildDisplayText(longest, "اسم", 286, "\r\n");
}

void WrapLongestVerse(benchmark::State& state) {
  const std::string text = LongestDisplayText();
  std::size_t lines = 0;
  for (auto _ : state) {
    const std::string laidOut = velun::WrapVerseText(text, kMaxLineWidth, FakeMeasure);
    lines = static_cast<std::size_t>(std::count(laidOut.begin(), laidOut.end(), '\n')) + 1;
    benchmark::DoNotOptimize(laidOut.data());
  }
  state.counters["lines"] = static_cast<double>(lines);
  state.counters["characters"] = static_cast<double>(text.size());
}
BENCHMARK(WrapLongestVerse)->Unit(benchmark::kMicrosecond);

void MeasuringCallsAlone(benchmark::State& state) {
  const std::string text = LongestDisplayText();
  std::vector<std::string> measured;
  velun::WrapVerseText(text, kMaxLineWidth, [&measured](const std::string& s) {
    measured.push_back(s);
    return FakeMeasure(s);
  });
  for (auto _ : state) {
    for (const std::string& s : measured) benchmark::DoNotOptimize(FakeMeasure(s));
  }
  state.counters["measure_calls"] = static_cast<double>(measured.size());
}
BENCHMARK(MeasuringCallsAlone)->Unit(benchmark::kMicrosecond);

}  // namespace
