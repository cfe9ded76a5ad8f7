#include "velun_verses/verse_import.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <limits>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <span>
#include <system_error>

#include "startup/failure.h"
#include "velun_verses/verse_table.h"
#include "verses/text_encoding.h"
#include "verses/verse_file_check.h"
#include "verses/verse_file_reader.h"
#include "verses/verse_source.h"

namespace velun::table {
namespace {

constexpr std::int64_t kLongestVerseNumber = 32767;  // a heading's count is a 16-bit number
constexpr std::uintmax_t kLargestTable = 256u * 1024 * 1024;

std::filesystem::path PathFromUtf8(const std::string& utf8Path) {
  return std::filesystem::path(
      std::u8string(reinterpret_cast<const char8_t*>(utf8Path.data()), utf8Path.size()));
}

bool HasOpeningLine(int chapter) { return chapter != 1 && chapter != 9; }

// A field as it appears in a message: trimmed, and cut when it is long.
std::string Shown(std::string_view field) {
  std::string text = OneLine(field);
  if (text.size() > 40) {
    std::size_t cut = 40;
    while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) --cut;
    text = text.substr(0, cut) + "...";
  }
  return "\"" + text + "\"";
}

// "5", "5 and 7", "5 to 9, 12" for a sorted list of chapter numbers.
std::string Ranges(const std::vector<int>& numbers) {
  std::string text;
  for (std::size_t i = 0; i < numbers.size();) {
    std::size_t j = i;
    while (j + 1 < numbers.size() && numbers[j + 1] == numbers[j] + 1) ++j;
    if (!text.empty()) text += ", ";
    text += std::to_string(numbers[i]);
    if (j > i) text += (j == i + 1 ? ", " : " to ") + std::to_string(numbers[j]);
    i = j + 1;
  }
  return text;
}

std::string VerseRange(std::int64_t first, std::int64_t last) {
  return first == last ? "verse " + std::to_string(first) + " is"
                       : "verses " + std::to_string(first) + " to " + std::to_string(last) + " are";
}

struct VerseRow {
  std::int64_t row = 0;
  std::int64_t line = 0;
  int chapter = 0;
  std::int64_t verse = 0;
  std::string text;
};

class Builder {
 public:
  Builder(const std::string& tableName, BuiltVerseFile& out) : tableName_(tableName), out_(out) {}

  void Problem(const std::string& source, const TableRow* row, std::string text) {
    out_.problems.push_back({source, row ? row->row : 0, row ? row->line : 0, std::move(text)});
  }
  void Problem(const VerseRow& row, std::string text) {
    out_.problems.push_back({tableName_, row.row, row.line, std::move(text)});
  }

  void TableProblems(const std::string& source, const Table& table) {
    for (const TableProblem& p : table.problems)
      out_.problems.push_back({source, p.row, p.line, p.text});
    if (table.windows1256)
      out_.notes.push_back({source, 0, 0, "not UTF-8: read as Windows-1256"});
  }

  // Extra fields are allowed when blank (spreadsheets add empty columns).
  bool FieldCount(const std::string& source, const TableRow& row, std::size_t wanted,
                  const char* what, char separator) {
    if (row.fields.size() < wanted) {
      Problem(source, &row, std::to_string(row.fields.size()) + " field" +
                                (row.fields.size() == 1 ? "" : "s") + "; a row holds " + what);
      return false;
    }
    for (std::size_t i = wanted; i < row.fields.size(); ++i) {
      if (IsBlankField(row.fields[i])) continue;
      std::string text = std::to_string(row.fields.size()) + " fields; a row holds " + what;
      if (separator != '\t')
        text += std::string("; a text holding \"") + separator + "\" must be in quotes";
      Problem(source, &row, text);
      return false;
    }
    return true;
  }

  std::optional<int> ChapterField(const std::string& source, const TableRow& row) {
    const auto number = ParseWholeNumber(row.fields[0]);
    if (number && *number >= 1 && *number <= kChapterCount) return static_cast<int>(*number);
    Problem(source, &row, "chapter " + Shown(row.fields[0]) + " is not a number from 1 to " +
                              std::to_string(kChapterCount));
    return std::nullopt;
  }

  void VerseRows(std::span<const TableRow> rows, char separator) {
    for (const TableRow& row : rows) {
      ++dataRows_;
      lastRow_ = &row;
      // A row with the wrong number of fields still holds its place when its
      // chapter and verse read, so that no gap is reported around it.
      const bool fieldsOk = FieldCount(tableName_, row, 3, "chapter, verse and text", separator);
      if (row.fields.size() < 2) continue;
      const std::optional<int> chapter = ChapterField(tableName_, row);
      const auto verse = ParseWholeNumber(row.fields[1]);
      const bool verseOk = verse && *verse <= kLongestVerseNumber;
      if (!verseOk)
        Problem(tableName_, &row, "verse " + Shown(row.fields[1]) + " is not a number from 0 to " +
                                      std::to_string(kLongestVerseNumber));
      std::string text = fieldsOk ? OneLine(row.fields[2]) : std::string();
      if (text.find('*') != std::string::npos)
        Problem(tableName_, &row, "the verse holds \"*\": the saver takes every line holding "
                                  "\"*\" for a chapter heading");
      if (const std::size_t length = CountLineCharacters(text); length > VerseFileReader::kLongestLine)
        Problem(tableName_, &row, "the verse has " + std::to_string(length) +
                                      " characters; the saver reads lines of at most " +
                                      std::to_string(VerseFileReader::kLongestLine));
      // A refused text still holds its place, so that the numbering is checked around it.
      if (chapter && verseOk) verses_.push_back({row.row, row.line, *chapter, *verse, std::move(text)});
    }
  }

  // Sorts the rows and walks each chapter's verse numbers.
  void ChapterChecks() {
    std::stable_sort(verses_.begin(), verses_.end(), [](const VerseRow& a, const VerseRow& b) {
      return a.chapter != b.chapter ? a.chapter < b.chapter : a.verse < b.verse;
    });
    std::vector<int> missing;
    auto at = verses_.begin();
    for (int chapter = 1; chapter <= kChapterCount; ++chapter) {
      const auto end = std::find_if(at, verses_.end(), [&](const VerseRow& v) { return v.chapter != chapter; });
      if (at == end)
        missing.push_back(chapter);
      else
        WalkChapter(chapter, at, end);
      at = end;
    }
    if (!missing.empty())
      Problem(tableName_, nullptr,
              std::string(missing.size() == 1 ? "no rows for chapter " : "no rows for chapters ") +
                  Ranges(missing) + "; every chapter from 1 to 114 must be present");
    if (dataRows_ != kVerseLineCount) {
      const std::string needs = "; the saver needs exactly " + std::to_string(kVerseLineCount);
      if (lastRow_)
        Problem(tableName_, lastRow_, "the table ends here with " + std::to_string(dataRows_) +
                                          " verse lines (opening lines included)" + needs);
      else
        Problem(tableName_, nullptr, "the table holds no verse lines" + needs);
    }
  }

  void WalkChapter(int chapter, std::vector<VerseRow>::const_iterator begin,
               std::vector<VerseRow>::const_iterator end) {
    const std::string name = "chapter " + std::to_string(chapter);
    std::int64_t expected = HasOpeningLine(chapter) ? 0 : 1;
    const VerseRow* previous = nullptr;
    for (auto it = begin; it != end; ++it) {
      const VerseRow& row = *it;
      if (previous && row.verse == previous->verse) {
        Problem(row, name + " verse " + std::to_string(row.verse) + " again; row " +
                         std::to_string(previous->row) + " has it already");
        continue;
      }
      if (!HasOpeningLine(chapter) && row.verse == 0) {
        Problem(row, name + " has an opening line (verse 0); chapters 1 and 9 have none");
        previous = &row;
        continue;
      }
      if (HasOpeningLine(chapter) && !previous && row.verse != 0) {
        Problem(row, name + " has no opening line: it begins at verse " +
                         std::to_string(row.verse) + "; every chapter but 1 and 9 begins with "
                         "an opening line, verse 0");
        expected = 1;
      }
      if (row.verse > expected) {
        const std::string where = previous ? " jumps from verse " + std::to_string(previous->verse) + " to"
                                           : " begins at";
        Problem(row, name + where + " verse " + std::to_string(row.verse) + ": " +
                         VerseRange(expected, row.verse - 1) + " missing");
      }
      expected = row.verse + 1;
      previous = &row;
    }
    counts_[chapter] = std::prev(end)->verse;
    ++chaptersPresent_;
  }

  void NameRows(const std::string& source, std::span<const TableRow> rows, char separator) {
    std::array<bool, kChapterCount + 1> named{};
    for (const TableRow& row : rows) {
      if (!FieldCount(source, row, 2, "chapter and name", separator)) continue;
      const std::optional<int> chapter = ChapterField(source, row);
      const std::string name = OneLine(row.fields[1]);
      bool ok = true;
      if (name.empty()) {
        Problem(source, &row, "the name is empty");
        ok = false;
      }
      for (const char mark : {'-', '*'}) {
        if (name.find(mark) == std::string::npos) continue;
        Problem(source, &row, "the name " + Shown(name) + " holds \"" + std::string(1, mark) +
                                  "\", which a heading \"*name - number - count*\" cannot hold");
        ok = false;
      }
      if (!chapter) continue;
      named[*chapter] = true;  // a refused name is not reported missing as well
      if (!ok) continue;
      if (names_[*chapter]) {
        Problem(source, &row, "chapter " + std::to_string(*chapter) + " is named again; row " +
                                  std::to_string(nameRows_[*chapter]->row) + " names it already");
        continue;
      }
      names_[*chapter] = name;
      nameRows_[*chapter] = &row;
      nameSource_[*chapter] = source;
    }
    std::vector<int> unnamed;
    for (int chapter = 1; chapter <= kChapterCount; ++chapter)
      if (!named[chapter]) unnamed.push_back(chapter);
    if (!unnamed.empty())
      Problem(source, nullptr, std::string(unnamed.size() == 1 ? "no name for chapter "
                                                               : "no names for chapters ") +
                                   Ranges(unnamed));
  }

  void NumbersAsNames() {
    for (int chapter = 1; chapter <= kChapterCount; ++chapter) names_[chapter] = std::to_string(chapter);
  }

  void Write() {
    std::string& bytes = out_.bytes;
    bytes.reserve(verses_.size() * 64);
    auto verse = verses_.begin();
    for (int chapter = 1; chapter <= kChapterCount; ++chapter) {
      const std::string heading = "*" + *names_[chapter] + " - " + std::to_string(chapter) +
                                  " - " + std::to_string(counts_[chapter]) + "*";
      if (CountLineCharacters(heading) > VerseFileReader::kLongestLine)
        Problem(nameSource_[chapter], nameRows_[chapter],
                "the name is too long for a heading line of at most " +
                    std::to_string(VerseFileReader::kLongestLine) + " characters");
      bytes += heading;
      bytes += "\r\n";
      for (; verse != verses_.end() && verse->chapter == chapter; ++verse) {
        bytes += verse->text;
        bytes += "\r\n";
      }
    }
  }

  void Summarize() {
    ImportSummary& s = out_.summary;
    s.verseLines = dataRows_;
    s.chapters = chaptersPresent_;
    for (const VerseRow& v : verses_) {
      const std::size_t length = CountLineCharacters(v.text);
      if (v.text.empty())
        out_.notes.push_back({tableName_, v.row, v.line,
                              "chapter " + std::to_string(v.chapter) + " verse " +
                                  std::to_string(v.verse) + " has no text; it becomes an empty line"});
      if (length <= s.longestVerse) continue;
      s.longestVerse = length;
      s.longestChapter = v.chapter;
      s.longestVerseNumber = static_cast<int>(v.verse);
      s.longestRow = v.row;
    }
  }

 private:
  const std::string& tableName_;
  BuiltVerseFile& out_;
  std::vector<VerseRow> verses_;
  std::int64_t dataRows_ = 0;
  int chaptersPresent_ = 0;
  const TableRow* lastRow_ = nullptr;
  std::array<std::int64_t, kChapterCount + 1> counts_{};
  std::array<std::optional<std::string>, kChapterCount + 1> names_{};
  std::array<const TableRow*, kChapterCount + 1> nameRows_{};
  std::array<std::string, kChapterCount + 1> nameSource_{};
};

bool IsNamesMarker(const TableRow& row) {
  std::string first = OneLine(row.fields[0]);
  std::transform(first.begin(), first.end(), first.begin(),
                 [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; });
  return first == "NAMES" &&
         std::all_of(row.fields.begin() + 1, row.fields.end(), IsBlankField);
}

// Drops a header row: one whose first fields are not numbers.
std::span<const TableRow> WithoutHeader(std::span<const TableRow> rows, std::size_t numberFields) {
  if (rows.empty()) return rows;
  const TableRow& first = rows.front();
  for (std::size_t i = 0; i < numberFields && i < first.fields.size(); ++i)
    if (LooksLikeNumber(first.fields[i])) return rows;
  return rows.subspan(1);
}

std::string TemporaryName(const std::filesystem::path& output) {
  std::random_device random;
  return "." + output.filename().string() + ".import-" + std::to_string(random()) + ".tmp";
}

// Where the output goes must be a new file in an existing folder, or a file
// that --force may replace.
void CheckOutput(const ImportOptions& options, std::vector<SourceProblem>& problems) {
  const std::filesystem::path output = PathFromUtf8(options.outputPath);
  std::error_code error;
  const auto status = std::filesystem::status(output, error);
  const std::string& name = options.outputPath;
  if (std::filesystem::is_directory(status)) {
    problems.push_back({name, 0, 0, "is a folder; name a file to write (-o FILE)"});
  } else if (std::filesystem::exists(status) && !options.force) {
    problems.push_back({name, 0, 0, "exists already; --force replaces it"});
  }
  const std::filesystem::path folder = output.has_parent_path() ? output.parent_path() : ".";
  if (!std::filesystem::is_directory(folder, error))
    problems.push_back({name, 0, 0, "the folder " + folder.string() + " does not exist"});
}

bool WriteFile(const std::filesystem::path& path, const std::string& bytes) {
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  file.close();
  return !file.fail();
}

}  // namespace

std::optional<std::string> ReadWholeFile(const std::string& utf8Path,
                                         std::vector<SourceProblem>& problems) {
  const std::filesystem::path path = PathFromUtf8(utf8Path);
  std::error_code error;
  if (std::filesystem::is_directory(path, error)) {
    problems.push_back({utf8Path, 0, 0, "is a folder, not a table"});
    return std::nullopt;
  }
  std::ifstream file(path, std::ios::binary);
  if (!file) {
    problems.push_back({utf8Path, 0, 0, "cannot be opened for reading"});
    return std::nullopt;
  }
  const auto size = std::filesystem::file_size(path, error);
  if (!error && size > kLargestTable) {
    problems.push_back({utf8Path, 0, 0, "is " + std::to_string(size) + " bytes, too large for a verse table"});
    return std::nullopt;
  }
  std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  if (file.bad()) {
    problems.push_back({utf8Path, 0, 0, "cannot be read"});
    return std::nullopt;
  }
  return bytes;
}

BuiltVerseFile BuildVerseFile(std::string_view tableBytes, const std::string& tableName,
                              const std::optional<std::string>& namesBytes,
                              const std::string& namesName) {
  BuiltVerseFile out;
  Builder builder(tableName, out);
  const Table table = ReadTable(tableBytes);
  builder.TableProblems(tableName, table);

  // The builder refers to rows of the tables, which live to the end.
  const auto marker = std::find_if(table.rows.begin(), table.rows.end(), IsNamesMarker);
  builder.VerseRows(WithoutHeader({table.rows.begin(), marker}, 2), table.separator);
  // A table that could not be read at all has said so; its missing chapters would only repeat it.
  if (!table.rows.empty() || table.problems.empty()) builder.ChapterChecks();

  Table namesTable;
  if (namesBytes) {
    namesTable = ReadTable(*namesBytes);
    builder.TableProblems(namesName, namesTable);
    if (marker != table.rows.end())
      builder.Problem(tableName, &*marker, "the table has a NAMES section, and a names table is "
                                           "given as well; keep one of them");
    builder.NameRows(namesName, WithoutHeader(namesTable.rows, 1), namesTable.separator);
  } else if (marker != table.rows.end()) {
    builder.NameRows(tableName, WithoutHeader({marker + 1, table.rows.end()}, 1), table.separator);
  } else {
    builder.NumbersAsNames();
  }
  builder.Summarize();
  if (out.problems.empty()) builder.Write();
  if (!out.problems.empty()) out.bytes.clear();
  // Each input's problems in row order, those of the input as a whole last.
  std::stable_sort(out.problems.begin(), out.problems.end(),
                   [&](const SourceProblem& a, const SourceProblem& b) {
                     const auto key = [&](const SourceProblem& p) {
                       return std::make_pair(p.source == tableName ? 0 : 1,
                                             p.row == 0 ? std::numeric_limits<std::int64_t>::max() : p.row);
                     };
                     return key(a) < key(b);
                   });
  return out;
}

ImportReport ImportVerseTable(const ImportOptions& options) {
  ImportReport report;
  const std::optional<std::string> tableBytes = ReadWholeFile(options.tablePath, report.problems);
  std::optional<std::string> namesBytes;
  bool namesRead = true;
  if (options.namesPath) {
    namesBytes = ReadWholeFile(*options.namesPath, report.problems);
    namesRead = namesBytes.has_value();
  }
  CheckOutput(options, report.problems);
  if (!tableBytes || !namesRead) return report;

  BuiltVerseFile built = BuildVerseFile(*tableBytes, options.tablePath, namesBytes,
                                        options.namesPath.value_or(std::string()));
  report.summary = built.summary;
  report.notes = std::move(built.notes);
  report.problems.insert(report.problems.begin(), built.problems.begin(), built.problems.end());
  if (!report.problems.empty()) return report;

  // Written beside the destination, so that putting it in place is a rename.
  const std::filesystem::path output = PathFromUtf8(options.outputPath);
  const std::filesystem::path folder =
      options.dryRun ? std::filesystem::temp_directory_path()
                     : (output.has_parent_path() ? output.parent_path() : std::filesystem::path("."));
  const std::filesystem::path trial = folder / TemporaryName(output);
  std::error_code error;
  const auto discard = [&] { std::filesystem::remove(trial, error); };
  if (!WriteFile(trial, built.bytes)) {
    discard();
    report.problems.push_back({options.outputPath, 0, 0, "cannot write " + trial.string()});
    return report;
  }
  const VerseFileCheck check = CheckVerseFile(trial.string());
  for (const VerseFileProblem& problem : check.problems)
    report.problems.push_back({options.outputPath, 0, 0,
                               "the file made from the table fails the verse-file check at line " +
                                   std::to_string(problem.line) + ": " + problem.text});
  if (!check.Clean() || options.dryRun) {
    discard();
    return report;
  }
  if (!options.force && std::filesystem::exists(output, error)) {
    discard();
    report.problems.push_back({options.outputPath, 0, 0, "exists already; --force replaces it"});
    return report;
  }
  std::filesystem::rename(trial, output, error);
  if (error) {
    discard();
    report.problems.push_back({options.outputPath, 0, 0, "cannot be written: " + error.message()});
    return report;
  }
  report.written = true;
  return report;
}

}  // namespace velun::table
