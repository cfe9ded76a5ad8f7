// Any bytes read as a table of verses (and, split off, a names table) give
// either a verse file or a list of problems, never both and never a crash; a
// verse file given is one the verse-file check finds clean.
//
// The first input byte picks the shape: even values use the rest as the whole
// table, split at its first 0xFF byte into table and names table when bit 1 is
// set; odd values splice the rest into a well-formed table (6348 rows, then a
// NAMES section) at a row chosen by the second and third bytes, replacing that
// row or inserting before it, so that the checks past the reading are reached.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

#include "velun_verses/verse_import.h"
#include "verses/verse_file_check.h"

namespace {

std::string WellFormedTable() {
  std::string text = "chapter\tverse\ttext\r\n";
  int rows = 0;
  for (int chapter = 1; chapter <= 114; ++chapter) {
    int count = chapter <= 16 ? 100 : (6236 - 16 * 100) / 98;
    if (chapter > 16 && chapter - 16 <= 30) ++count;
    for (int v = chapter == 1 || chapter == 9 ? 1 : 0; v <= count; ++v, ++rows)
      text += std::to_string(chapter) + "\t" + std::to_string(v) + "\tw\r\n";
  }
  if (rows != 6348) std::abort();
  text += "NAMES\r\n";
  for (int chapter = 1; chapter <= 114; ++chapter) text += std::to_string(chapter) + "\tn\r\n";
  return text;
}

std::string FilePath() {
  static const std::string path = "/tmp/velun_fuzz_table_" + std::to_string(getpid()) + ".txt";
  return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const std::string wellFormed = WellFormedTable();
  if (size < 3) return 0;
  const std::string_view rest(reinterpret_cast<const char*>(data) + 3, size - 3);
  std::string table;
  std::optional<std::string> names;
  if (data[0] % 2 == 0) {
    table.assign(reinterpret_cast<const char*>(data) + 1, size - 1);
    const std::size_t split = table.find('\xFF');
    if ((data[0] & 2) != 0 && split != std::string::npos) {
      names = table.substr(split + 1);
      table.resize(split);
    }
  } else {
    const std::size_t row = (static_cast<std::size_t>(data[1]) << 8 | data[2]) % 6464;
    std::size_t at = 0;
    for (std::size_t i = 0; i < row; ++i) at = wellFormed.find('\n', at) + 1;
    const std::size_t end = wellFormed.find('\n', at) + 1;
    table = wellFormed.substr(0, at);
    table += rest;
    table += wellFormed.substr(data[0] % 4 == 1 ? end : at);
  }

  const velun::table::BuiltVerseFile built = velun::table::BuildVerseFile(table, "table", names, "names");
  if (built.problems.empty() == built.bytes.empty()) std::abort();
  for (const auto& problem : built.problems)
    if (problem.text.empty() || problem.row < 0 || problem.line < problem.row) std::abort();
  if (built.bytes.empty()) return 0;
  if (FILE* f = std::fopen(FilePath().c_str(), "wb")) {
    std::fwrite(built.bytes.data(), 1, built.bytes.size(), f);
    std::fclose(f);
  }
  if (!velun::CheckVerseFile(FilePath()).Clean()) std::abort();
  return 0;
}
