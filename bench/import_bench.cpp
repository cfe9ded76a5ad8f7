// Importing a table of 6348 verses (the sample file exported, 1.7 MB of Arabic
// text): read, check, write, run the verse-file check over what was written
// and put it in place. The baseline is a bare copy of the same table's bytes
// from file to file with the same streams. scripts/bench.sh prints the ratio.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "velun_verses/verse_export.h"
#include "velun_verses/verse_import.h"

namespace {

struct Scratch {
  std::filesystem::path dir =
      std::filesystem::temp_directory_path() / ("velun_import_bench_" + std::to_string(std::rand()));
  std::string table = (dir / "table.tsv").string();
  std::string output = (dir / "finalvelun.txt").string();

  Scratch() {
    std::filesystem::create_directories(dir);
    const velun::table::ExportedTable exported =
        velun::table::ExportVerseFile(VELUN_SAMPLE_VERSE_FILE, false);
    std::ofstream(table, std::ios::binary) << exported.table;
  }
  ~Scratch() {
    std::error_code ignored;
    std::filesystem::remove_all(dir, ignored);
  }
};

void ImportTable(benchmark::State& state) {
  Scratch scratch;
  velun::table::ImportOptions options;
  options.tablePath = scratch.table;
  options.outputPath = scratch.output;
  options.force = true;
  for (auto _ : state) {
    const velun::table::ImportReport report = velun::table::ImportVerseTable(options);
    if (!report.written) state.SkipWithError("the sample's table did not import");
  }
}

void CopyTable(benchmark::State& state) {
  Scratch scratch;
  for (auto _ : state) {
    std::ifstream in(scratch.table, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::ofstream(scratch.output, std::ios::binary | std::ios::trunc) << bytes;
  }
}

BENCHMARK(ImportTable)->Unit(benchmark::kMillisecond);
BENCHMARK(CopyTable)->Unit(benchmark::kMillisecond);

}  // namespace
