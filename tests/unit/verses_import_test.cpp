// velun-verses import and export: a table of verses becomes a verse file the
// saver reads, every fault is named by its row, nothing is written on a fault,
// and a verse file exported and imported again shows the same verses.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "velun_verses/verse_export.h"
#include "velun_verses/verse_import.h"
#include "verses/verse_file_check.h"
#include "verses/verse_source.h"
#include "verses_layout_file.h"

namespace velun {
namespace {

using table::BuildVerseFile;
using table::ImportOptions;
using table::ImportVerseTable;
using testing::LayoutCounts;
using testing::TestDirectory;
using testing::WriteBytes;

std::string ReadBytes(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
}

// What `velun-verses show FILE --order 1 --count 6348` shows: every verse once.
std::vector<std::string> ShownInFileOrder(const std::string& path) {
  const Settings settings = testing::SettingsFor(path);
  UniformRandom random(UniformRandom::FixedSeed(1));
  VerseIndex index;
  PrepareVerseSource(index, settings, random);
  std::vector<std::string> shown;
  for (int i = 0; i < kVerseLineCount; ++i) {
    FetchNextVerse(index, kFromBeginingToEnd, settings, random);
    shown.push_back(index.VerseText);
  }
  return shown;
}

// Rows of a table made here, one per verse line of the layout of the tests'
// verse files (chapter, verse, text), in file order.
struct Row {
  std::string chapter, verse, text;
};

std::vector<Row> LayoutRows() {
  const std::vector<int> counts = LayoutCounts();
  std::vector<Row> rows;
  for (int c = 1; c <= kChapterCount; ++c)
    for (int v = testing::HasOpeningLine(c) ? 0 : 1; v <= counts[c]; ++v)
      rows.push_back({std::to_string(c), std::to_string(v), testing::VerseTextOf(c, v)});
  return rows;
}

std::string Join(const std::vector<Row>& rows, const std::string& separator,
                 const std::string& rowEnd = "\r\n") {
  std::string bytes;
  for (const Row& row : rows) bytes += row.chapter + separator + row.verse + separator + row.text + rowEnd;
  return bytes;
}

std::string NamesTable() {
  std::string bytes = "chapter\tname\n";
  for (int c = 1; c <= kChapterCount; ++c)
    bytes += std::to_string(c) + "\t" + testing::ChapterNameOf(c) + "\n";
  return bytes;
}

std::size_t RowOf(const std::vector<Row>& rows, const std::string& chapter, const std::string& verse) {
  const auto it = std::find_if(rows.begin(), rows.end(),
                               [&](const Row& r) { return r.chapter == chapter && r.verse == verse; });
  return static_cast<std::size_t>(it - rows.begin()) + 1;
}

// The problems as "row: text" lines, for messages and for searching.
std::vector<std::string> Listed(const std::vector<table::SourceProblem>& problems) {
  std::vector<std::string> out;
  for (const auto& p : problems) out.push_back(std::to_string(p.row) + ": " + p.text);
  return out;
}

void ExpectProblem(const std::vector<table::SourceProblem>& problems, std::int64_t row,
                   const std::string& words) {
  const bool found = std::any_of(problems.begin(), problems.end(), [&](const auto& p) {
    return p.row == row && p.text.find(words) != std::string::npos;
  });
  EXPECT_TRUE(found) << "no problem on row " << row << " with \"" << words << "\" in\n"
                     << ::testing::PrintToString(Listed(problems));
}

TEST(VerseImport, TheSampleFileComesBackByteForByteWithTheNamesInTheTableOrApart) {
  const std::string sample = ReadBytes(VELUN_SAMPLE_VERSE_FILE);
  const table::ExportedTable together = table::ExportVerseFile(VELUN_SAMPLE_VERSE_FILE, false);
  ASSERT_TRUE(together.problems.empty());
  const table::BuiltVerseFile again = BuildVerseFile(together.table, "table", std::nullopt, "");
  EXPECT_TRUE(again.problems.empty()) << ::testing::PrintToString(Listed(again.problems));
  EXPECT_TRUE(again.bytes == sample);
  EXPECT_EQ(again.summary.chapters, 114);
  EXPECT_EQ(again.summary.verseLines, 6348);

  const table::ExportedTable apart = table::ExportVerseFile(VELUN_SAMPLE_VERSE_FILE, true);
  EXPECT_EQ(apart.table.find("NAMES"), std::string::npos);
  EXPECT_TRUE(BuildVerseFile(apart.table, "table", apart.names, "names").bytes == sample);
}

// A verse file in Windows-1256 and not in the import's layout (spaces in the
// headings and around verses, all three line ends), with Arabic names and verses.
std::string Windows1256VerseFile() {
  const std::vector<int> counts = LayoutCounts();
  const char* const ends[] = {"\r\n", "\n", "\r"};
  std::string bytes;
  int line = 0;
  for (int c = 1; c <= kChapterCount; ++c) {
    bytes += " *\xC8\xC7\xC8 " + std::to_string(c) + "-" + std::to_string(c) + " -  " +
             std::to_string(counts[c]) + "* " + ends[line++ % 3];
    for (int v = testing::HasOpeningLine(c) ? 0 : 1; v <= counts[c]; ++v) {
      const std::string word = c == 2 && v == 3 ? "\"\xE4\xD5\"" : "\xE4\xD5";  // a verse that begins with a quote
      bytes += "  " + word + " " + std::to_string(c) + ":" + std::to_string(v) + " " + ends[line++ % 3];
    }
  }
  return bytes;
}

TEST(VerseImport, AWindows1256FileExportedAndImportedShowsTheSameVerses) {
  const std::string original = WriteBytes("cp1256.txt", Windows1256VerseFile());
  ASSERT_TRUE(CheckVerseFile(original).Clean());
  const table::ExportedTable exported = table::ExportVerseFile(original, false);
  ASSERT_TRUE(exported.problems.empty());
  // Exported as UTF-8: "نص 3:0" is the opening line of chapter 3, named "باب 3".
  EXPECT_NE(exported.table.find("\r\n3\t0\t\xD9\x86\xD8\xB5 3:0\r\n"), std::string::npos);
  EXPECT_NE(exported.table.find("\r\n3\t\xD8\xA8\xD8\xA7\xD8\xA8 3\r\n"), std::string::npos);
  EXPECT_NE(exported.table.find("\r\n2\t3\t\"\"\"\xD9\x86\xD8\xB5\"\" 2:3\"\r\n"), std::string::npos);
  const table::BuiltVerseFile built = BuildVerseFile(exported.table, "table", std::nullopt, "");
  ASSERT_TRUE(built.problems.empty()) << ::testing::PrintToString(Listed(built.problems));
  const std::string imported = WriteBytes("imported.txt", built.bytes);
  EXPECT_TRUE(CheckVerseFile(imported).Clean());
  EXPECT_EQ(ShownInFileOrder(imported), ShownInFileOrder(original));

  // The same table written in Windows-1256 reads the same.
  std::string table1256 = "chapter\tverse\ttext\n";
  for (const Row& row : LayoutRows()) {
    const bool quoted = row.chapter == "2" && row.verse == "3";
    table1256 += row.chapter + "\t" + row.verse + (quoted ? "\t\"\"\"\xE4\xD5\"\" " : "\t\xE4\xD5 ") +
                 row.chapter + ":" + row.verse + (quoted ? "\"\n" : "\n");
  }
  table1256 += "NAMES\n";
  for (int c = 1; c <= kChapterCount; ++c) table1256 += std::to_string(c) + "\t\xC8\xC7\xC8 " + std::to_string(c) + "\n";
  const table::BuiltVerseFile from1256 = BuildVerseFile(table1256, "table", std::nullopt, "");
  EXPECT_TRUE(from1256.bytes == built.bytes);
  ASSERT_EQ(from1256.notes.size(), 1u);
  EXPECT_EQ(from1256.notes[0].text, "not UTF-8: read as Windows-1256");
}

TEST(VerseImport, CsvQuotingKeepsCommasAndQuotesAndFoldsLineBreaksAndTabs) {
  std::vector<Row> rows = LayoutRows();
  rows.insert(rows.begin(), Row{"chapter", "verse", "text"});
  rows[2].text = "\"He said, \"\"go\"\", and went\"";  // chapter 1 verse 2, on row 3
  rows[3].text = "\"two\r\nlines and\ta tab \"";
  rows[4].text = "  a \"quote\" inside  ";
  const table::BuiltVerseFile built = BuildVerseFile(Join(rows, ","), "table.csv", std::nullopt, "");
  ASSERT_TRUE(built.problems.empty()) << ::testing::PrintToString(Listed(built.problems));
  EXPECT_NE(built.bytes.find("\r\nverse 1:1\r\nHe said, \"go\", and went\r\ntwo lines and a tab\r\n"
                             "a \"quote\" inside\r\nverse 1:5\r\n"),
            std::string::npos);
  // Semicolons as separators, as some spreadsheets write them, read the same way.
  rows[2].text = "\"He said, \"\"go\"\"; and went\"";
  const table::BuiltVerseFile semicolons = BuildVerseFile(Join(rows, ";"), "table.csv", std::nullopt, "");
  EXPECT_NE(semicolons.bytes.find("\r\nHe said, \"go\"; and went\r\n"), std::string::npos);
  // An unquoted comma in a verse makes a fourth field, which is refused; so
  // is text after a closing quote, and the rows after it still count (row 5
  // starts on line 6, as the quoted line break of row 4 took a line).
  rows[2].text = "He said, go";
  rows[4].text = "\"a\" b";
  const table::BuiltVerseFile unquoted = BuildVerseFile(Join(rows, ","), "table.csv", std::nullopt, "");
  ExpectProblem(unquoted.problems, 3, "4 fields; a row holds chapter, verse and text; a text holding \",\" must be in quotes");
  ExpectProblem(unquoted.problems, 5, "text after the closing quote of field 3");
  EXPECT_EQ(unquoted.problems.size(), 2u) << ::testing::PrintToString(Listed(unquoted.problems));
  EXPECT_EQ(unquoted.problems[1].line, 6);
  EXPECT_TRUE(unquoted.bytes.empty());
}

TEST(VerseImport, EachRefusedInputNamesItsRow) {
  std::vector<Row> rows = LayoutRows();
  rows.erase(rows.begin() + static_cast<long>(RowOf(rows, "2", "5")) - 1);        // a gap
  rows.insert(rows.begin() + static_cast<long>(RowOf(rows, "3", "2")), Row{"3", "2", "again"});  // a repeat
  rows.erase(rows.begin() + static_cast<long>(RowOf(rows, "4", "0")) - 1);        // no opening line
  rows.insert(rows.begin() + static_cast<long>(RowOf(rows, "9", "1")) - 1, Row{"9", "0", "extra"});
  rows[RowOf(rows, "5", "3") - 1].text = "a * in a verse";
  std::string names = NamesTable();
  names.replace(names.find("Name 6\n"), 7, "Name-6\n");
  const table::BuiltVerseFile built = BuildVerseFile(Join(rows, "\t"), "table", names, "names");
  ExpectProblem(built.problems, RowOf(rows, "2", "6"), "chapter 2 jumps from verse 4 to verse 6: verse 5 is missing");
  ExpectProblem(built.problems, RowOf(rows, "3", "2") + 1, "chapter 3 verse 2 again; row " + std::to_string(RowOf(rows, "3", "2")));
  ExpectProblem(built.problems, RowOf(rows, "4", "1"), "chapter 4 has no opening line");
  ExpectProblem(built.problems, RowOf(rows, "9", "0"), "chapter 9 has an opening line (verse 0)");
  ExpectProblem(built.problems, RowOf(rows, "5", "3"), "the verse holds \"*\"");
  ExpectProblem(built.problems, 7, "the name \"Name-6\" holds \"-\"");  // row 1 is the header
  EXPECT_EQ(built.problems.size(), 6u) << ::testing::PrintToString(Listed(built.problems));
  EXPECT_TRUE(built.bytes.empty());

  // One verse short at a chapter's end leaves no gap: the total names the row the table ends on.
  rows = LayoutRows();
  rows.erase(rows.begin() + static_cast<long>(RowOf(rows, "60", "0")) - 2);
  const table::BuiltVerseFile short1 = BuildVerseFile(Join(rows, "\t") + "\r\n", "table", std::nullopt, "");
  ExpectProblem(short1.problems, 6347, "the table ends here with 6347 verse lines");
  EXPECT_EQ(short1.problems.size(), 1u) << ::testing::PrintToString(Listed(short1.problems));

  // Fields that are not what they should be, a missing chapter and a "*" in a name.
  rows = LayoutRows();
  rows[0].chapter = "one";
  rows[1].verse = "-2";
  rows.erase(rows.begin() + static_cast<long>(RowOf(rows, "114", "0")) - 1, rows.end());
  const table::BuiltVerseFile fields = BuildVerseFile(
      "chapter\tverse\ttext\n" + Join(rows, "\t") + "NAMES\n5\tA*B\n", "table", std::nullopt, "");
  ExpectProblem(fields.problems, 2, "chapter \"one\" is not a number from 1 to 114");
  ExpectProblem(fields.problems, 3, "verse \"-2\" is not a number from 0 to 32767");
  ExpectProblem(fields.problems, 0, "no rows for chapter 114;");
  ExpectProblem(fields.problems, static_cast<std::int64_t>(rows.size()) + 3, "\"A*B\" holds \"*\"");
  ExpectProblem(fields.problems, 0, "no names for chapters 1 to 4, 6 to 114");
}

TEST(VerseImport, NothingIsWrittenOnARefusalAndNoFileIsReplacedWithoutForce) {
  const std::filesystem::path dir = TestDirectory();
  std::vector<Row> rows = LayoutRows();
  const std::string good = WriteBytes("good.tsv", Join(rows, "\t"));
  rows[10].verse = "9999";
  const std::string bad = WriteBytes("bad.tsv", Join(rows, "\t"));
  const std::string output = (dir / "finalvelun.txt").string();
  const auto folderHolds = [&] {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir))
      names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  };
  const auto run = [&](const std::string& input, bool force, bool dryRun) {
    ImportOptions options;
    options.tablePath = input;
    options.outputPath = output;
    options.force = force;
    options.dryRun = dryRun;
    return ImportVerseTable(options);
  };

  EXPECT_FALSE(run(bad, false, false).written);
  EXPECT_FALSE(run(good, false, true).written);  // a dry run
  EXPECT_EQ(folderHolds(), (std::vector<std::string>{"bad.tsv", "good.tsv"}));

  ASSERT_TRUE(run(good, false, false).written);
  EXPECT_TRUE(CheckVerseFile(output).Clean());
  std::ofstream(output, std::ios::binary) << "mine";
  // Both faults in one run: the existing file and the table's own.
  const table::ImportReport refused = run(bad, false, false);
  ExpectProblem(refused.problems, 0, "exists already; --force replaces it");
  ExpectProblem(refused.problems, 11, "to verse 9999");
  EXPECT_EQ(run(good, false, false).problems.size(), 1u);
  EXPECT_EQ(ReadBytes(output), "mine");
  EXPECT_FALSE(run(bad, true, false).written);
  EXPECT_EQ(ReadBytes(output), "mine");
  EXPECT_TRUE(run(good, true, false).written);
  EXPECT_TRUE(CheckVerseFile(output).Clean());
  EXPECT_EQ(folderHolds(), (std::vector<std::string>{"bad.tsv", "finalvelun.txt", "good.tsv"}));
}

TEST(VerseImport, AShuffledTableWithBlankRowsAndMixedRowEndsImportsChecksCleanAndShowsItsVerses) {
  std::vector<Row> rows = LayoutRows();
  std::shuffle(rows.begin(), rows.end(), std::mt19937(5));
  const char* const ends[] = {"\r\n", "\n", "\r", "\r\n\r\n", "\n  \t \n"};
  std::string bytes = "\xEF\xBB\xBF" "Chapter\tVerse\tText\r\n";
  for (std::size_t i = 0; i < rows.size(); ++i)
    bytes += rows[i].chapter + "\t" + rows[i].verse + "\t " + rows[i].text + " " + ends[i % 5];
  bytes += "\r\nnames\r\n";
  for (int c = kChapterCount; c >= 1; --c) bytes += std::to_string(c) + "\t" + testing::ChapterNameOf(c) + "\n";
  ImportOptions options;
  options.tablePath = WriteBytes("mine.tsv", bytes);
  options.outputPath = (TestDirectory() / "finalvelun.txt").string();
  const table::ImportReport report = ImportVerseTable(options);
  ASSERT_TRUE(report.written) << ::testing::PrintToString(Listed(report.problems));
  EXPECT_EQ(report.summary.chapters, 114);
  EXPECT_EQ(report.summary.verseLines, 6348);
  EXPECT_TRUE(CheckVerseFile(options.outputPath).Clean());
  // The file is the layout file that the verse order tests write by hand and
  // walk whole; here the saver shows a few hundred of its verses at random.
  EXPECT_TRUE(ReadBytes(options.outputPath) == testing::JoinLines(testing::LayoutLines(), "\r\n"));
  const Settings settings = testing::SettingsFor(options.outputPath);
  UniformRandom random(UniformRandom::FixedSeed(3));
  VerseIndex index;
  PrepareVerseSource(index, settings, random);
  const std::vector<Row> inOrder = LayoutRows();
  for (int i = 0; i < 300; ++i) {
    FetchNextVerse(index, kRandomVerse, settings, random);
    const Row& row = inOrder[static_cast<std::size_t>(index.VerseIndex) - 1];
    ASSERT_EQ(index.VerseText, testing::DisplayOf(std::stoi(row.chapter), std::stoi(row.verse)));
  }
}

}  // namespace
}  // namespace velun
