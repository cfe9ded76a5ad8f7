#pragma once
// Turns a table of verses (rows of chapter, verse, text; see verse_table.h) into
// a verse file in the layout the saver reads: per chapter, in chapter order, the
// heading "*name - number - count*" and its lines in verse order, UTF-8 without
// a byte order mark, every line ended by CR LF.
//
// Everything that would make a wrong file is found before anything is written,
// all in one run, each fault with the row it lies on: chapters 1 to 114 all
// present, verses 1 to the chapter's highest without a gap or a repeat, an
// opening line (verse 0) in every chapter but 1 and 9 and none in those two,
// 6348 verse lines in all, no "*" in a verse (the saver would take the line for
// a heading), no "-" or "*" in a chapter name. Rows may come in any order.
//
// Chapter names come from a names table (rows of chapter, name), from a NAMES
// section at the end of the verse table (a row holding only "NAMES", then such
// rows), or else are the chapter numbers.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velun::table {

// A fault or a remark about one input, with the row of that input it lies on.
struct SourceProblem {
  std::string source;     // the file it concerns
  std::int64_t row = 0;   // 0: the file as a whole
  std::int64_t line = 0;  // the line where that row begins
  std::string text;
};

struct ImportSummary {
  int chapters = 0;
  std::int64_t verseLines = 0;
  std::size_t longestVerse = 0;  // characters
  int longestChapter = 0;
  int longestVerseNumber = 0;
  std::int64_t longestRow = 0;
};

struct BuiltVerseFile {
  std::string bytes;  // the verse file; empty when there is any problem
  std::vector<SourceProblem> problems;
  std::vector<SourceProblem> notes;  // worth knowing, not a reason to refuse
  ImportSummary summary;
};

// Builds the verse file in memory. `tableName` and `namesName` label the
// problems; without names bytes the names come from the table's NAMES section
// or are the chapter numbers.
BuiltVerseFile BuildVerseFile(std::string_view tableBytes, const std::string& tableName,
                              const std::optional<std::string>& namesBytes,
                              const std::string& namesName);

struct ImportOptions {
  std::string tablePath;
  std::optional<std::string> namesPath;
  std::string outputPath = "finalvelun.txt";
  bool force = false;   // replace an existing output file
  bool dryRun = false;  // check everything, write nothing
};

struct ImportReport {
  std::vector<SourceProblem> problems;
  std::vector<SourceProblem> notes;
  ImportSummary summary;
  bool written = false;
};

// Reads the inputs, builds the file, writes it beside its destination, runs the
// verse-file check over what was written and only when that is clean puts it in
// place. On any problem nothing is left behind. A dry run does all of it but the
// last step, writing its trial file to the temporary folder instead.
ImportReport ImportVerseTable(const ImportOptions& options);

// The whole file, or nothing when it cannot be read (a problem says why).
std::optional<std::string> ReadWholeFile(const std::string& utf8Path,
                                         std::vector<SourceProblem>& problems);

}  // namespace velun::table
