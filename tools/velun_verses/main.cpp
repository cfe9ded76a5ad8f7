// velun-verses: checks a verse file, shows the verses the saver would show,
// and turns a table of verses into a verse file and back.
//
//   velun-verses check FILE
//   velun-verses show FILE [--order CODE] [--count N] [--seed S]
//   velun-verses import TABLE [--names NAMES] [-o FILE] [--force] [--dry-run]
//   velun-verses export FILE [-o TABLE] [--names-out NAMES] [--force]
//
// `show` drives the verse source exactly as the saver does: PrepareVerseSource
// once, then one FetchNextVerse per verse, each reading the file afresh.
#include <charconv>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <optional>
#include <string>
#include <string_view>

#include "startup/conversions.h"
#include "startup/failure.h"
#include "startup/settings.h"
#include "velun_verses/verse_export.h"
#include "velun_verses/verse_import.h"
#include "verses/random.h"
#include "verses/verse_file_check.h"
#include "verses/verse_source.h"

namespace {

constexpr int kExitProblems = 1;
constexpr int kExitUsage = 2;

const char* const kUsage =
    "usage: velun-verses check FILE\n"
    "       velun-verses show FILE [--order 1|2|3] [--count N] [--seed S]\n"
    "       velun-verses import TABLE [--names NAMES] [-o FILE] [--force] [--dry-run]\n"
    "       velun-verses export FILE [-o TABLE] [--names-out NAMES] [--force]\n"
    "\n"
    "check  lists every place where FILE departs from the verse file layout;\n"
    "       the exit status is 0 only for a clean file.\n"
    "show   prints the next N verses (default 1) as the saver would show them in\n"
    "       the order given (1 From Begining to End, 2 Random Chapter,\n"
    "       3 Random Verse, the default; other codes fetch as Random Verse).\n"
    "       --seed fixes the random draws; without it they are seeded from the clock.\n"
    "import makes a verse file (default finalvelun.txt here) from TABLE, rows of\n"
    "       chapter, verse and text (verse 0 is a chapter's opening line), separated\n"
    "       by tabs, commas or semicolons, fields quoted as in CSV where needed,\n"
    "       UTF-8 or Windows-1256, an optional header row. NAMES holds rows of\n"
    "       chapter and name; without it the names come from a NAMES section at\n"
    "       the end of TABLE, or are the chapter numbers. Every problem is listed\n"
    "       with its row and nothing is written while there is one. An existing\n"
    "       file is replaced only with --force; --dry-run checks and writes nothing.\n"
    "export writes FILE as such a table (to standard output, or to -o TABLE), the\n"
    "       names in a NAMES section at its end or, with --names-out, in NAMES.\n";

int UsageError(const std::string& message) {
  std::cerr << "velun-verses: " << message << "\n\n" << kUsage;
  return kExitUsage;
}

std::optional<std::uint64_t> ParseUnsigned(std::string_view text) {
  std::uint64_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || text.empty()) return std::nullopt;
  return value;
}

int Check(const std::string& path) {
  const velun::VerseFileCheck result = velun::CheckVerseFile(path);
  for (const velun::VerseFileProblem& problem : result.problems) {
    if (problem.line > 0)
      std::cout << path << ":" << problem.line << ": " << problem.text << "\n";
    else
      std::cout << path << ": " << problem.text << "\n";
  }
  std::cout << path << ": " << result.lines << " lines, " << result.headings << " headings, "
            << result.verseLines << " verse lines: ";
  if (result.Clean()) {
    std::cout << "clean\n";
    return 0;
  }
  std::cout << result.problems.size() << (result.problems.size() == 1 ? " problem\n" : " problems\n");
  return kExitProblems;
}

// The display text with its CR LF shown as a line break of this terminal.
std::string ForTerminal(const std::string& displayText) {
  std::string out;
  out.reserve(displayText.size());
  for (std::size_t i = 0; i < displayText.size(); ++i) {
    if (displayText[i] == '\r' && i + 1 < displayText.size() && displayText[i + 1] == '\n') {
      out += '\n';
      ++i;
    } else {
      out += displayText[i];
    }
  }
  return out;
}

int Show(const std::string& path, std::int16_t order, std::uint64_t count,
         std::optional<std::uint64_t> seed) {
  velun::Settings settings;
  settings.LineBreak = "\r\n";
  settings.VerseFilePath = path;
  settings.VerseSelectionType = order;
  velun::UniformRandom random(seed ? velun::UniformRandom::FixedSeed(*seed)
                                   : velun::UniformRandom::SeedSource(velun::UniformRandom::ClockSeed));
  velun::VerseIndex index;
  velun::PrepareVerseSource(index, settings, random);
  for (std::uint64_t i = 0; i < count; ++i) {
    velun::FetchNextVerse(index, settings.VerseSelectionType, settings, random);
    if (i > 0) std::cout << "\n";
    std::cout << ForTerminal(index.VerseText) << "\n";
  }
  return 0;
}

// "TABLE:row 12: text", with the line when a quoted line break moved the row off it.
void PrintProblem(std::ostream& out, const velun::table::SourceProblem& problem) {
  out << problem.source;
  if (problem.row > 0) {
    out << ":row " << problem.row;
    if (problem.line != problem.row) out << " (line " << problem.line << ")";
  }
  out << ": " << problem.text << "\n";
}

std::string Plural(std::size_t n, const char* word) {
  return std::to_string(n) + " " + word + (n == 1 ? "" : "s");
}

int Import(const velun::table::ImportOptions& options) {
  const velun::table::ImportReport report = velun::table::ImportVerseTable(options);
  for (const auto& note : report.notes) {
    std::cerr << "note: ";
    PrintProblem(std::cerr, note);
  }
  for (const auto& problem : report.problems) PrintProblem(std::cerr, problem);
  if (!report.problems.empty()) {
    std::cerr << "velun-verses: " << Plural(report.problems.size(), "problem")
              << "; nothing written\n";
    return kExitProblems;
  }
  const velun::table::ImportSummary& s = report.summary;
  std::cout << options.outputPath << (options.dryRun ? ": would be written from " : ": written from ")
            << options.tablePath << ": " << s.chapters << " chapters, " << s.verseLines
            << " verse lines, the longest verse " << s.longestVerse << " characters (chapter "
            << s.longestChapter << " verse " << s.longestVerseNumber << ", row " << s.longestRow
            << ")";
  if (options.dryRun)
    std::cout << "; the verse-file check finds it clean; nothing written (--dry-run)\n";
  else
    std::cout << "; the verse-file check finds it clean\n";
  return 0;
}

bool WriteOut(const std::string& path, const std::string& bytes, bool force) {
  const std::filesystem::path target(
      std::u8string(reinterpret_cast<const char8_t*>(path.data()), path.size()));
  std::error_code error;
  if (!force && std::filesystem::exists(target, error)) {
    std::cerr << path << ": exists already; --force replaces it\n";
    return false;
  }
  std::ofstream file(target, std::ios::binary | std::ios::trunc);
  file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  file.close();
  if (file.fail()) std::cerr << path << ": cannot be written\n";
  return !file.fail();
}

int Export(const std::string& path, const std::optional<std::string>& tablePath,
           const std::optional<std::string>& namesPath, bool force) {
  const velun::table::ExportedTable exported = velun::table::ExportVerseFile(path, namesPath.has_value());
  if (!exported.problems.empty()) {
    for (const velun::VerseFileProblem& problem : exported.problems)
      std::cerr << path << (problem.line > 0 ? ":" + std::to_string(problem.line) : std::string())
                << ": " << problem.text << "\n";
    std::cerr << "velun-verses: " << path << " is not a clean verse file; nothing exported\n";
    return kExitProblems;
  }
  // Both outputs are refused before either is written.
  for (const auto* target : {&tablePath, &namesPath}) {
    std::error_code error;
    if (*target && !force && std::filesystem::exists(**target, error)) {
      std::cerr << **target << ": exists already; --force replaces it\n";
      return kExitProblems;
    }
  }
  if (namesPath && !WriteOut(*namesPath, exported.names, force)) return kExitProblems;
  if (tablePath) return WriteOut(*tablePath, exported.table, force) ? 0 : kExitProblems;
  std::cout << exported.table;
  std::cout.flush();
  return std::cout ? 0 : kExitProblems;
}

// Options of import and export: flags, and options that take a value.
struct TableArguments {
  std::optional<std::string> input;
  std::optional<std::string> output;
  std::optional<std::string> names;
  bool force = false;
  bool dryRun = false;
};

std::optional<std::string> ParseTableArguments(int argc, char** argv, bool import,
                                               TableArguments& args) {
  for (int i = 2; i < argc; ++i) {
    const std::string_view argument = argv[i];
    const bool takesValue = argument == "-o" || argument == "--output" ||
                            argument == (import ? "--names" : "--names-out");
    if (takesValue) {
      if (i + 1 >= argc) return "option " + std::string(argument) + " needs a value";
      (argument == "-o" || argument == "--output" ? args.output : args.names) = argv[++i];
    } else if (argument == "--force") {
      args.force = true;
    } else if (argument == "--dry-run" && import) {
      args.dryRun = true;
    } else if (argument.size() > 1 && argument.front() == '-') {
      return "unknown option " + std::string(argument);
    } else if (args.input) {
      return "only one " + std::string(import ? "table" : "verse file") + " is taken";
    } else {
      args.input = std::string(argument);
    }
  }
  if (!args.input) return std::string(import ? "no table given" : "no verse file given");
  return std::nullopt;
}

int Run(int argc, char** argv) {
  if (argc < 2) return UsageError("no command given");
  const std::string_view command = argv[1];
  if (command == "--help" || command == "-h" || command == "help") {
    std::cout << kUsage;
    return 0;
  }
  if (command == "import" || command == "export") {
    TableArguments args;
    if (const auto error = ParseTableArguments(argc, argv, command == "import", args))
      return UsageError(*error);
    if (command == "export") return Export(*args.input, args.output, args.names, args.force);
    velun::table::ImportOptions options;
    options.tablePath = *args.input;
    options.namesPath = args.names;
    if (args.output) options.outputPath = *args.output;
    options.force = args.force;
    options.dryRun = args.dryRun;
    return Import(options);
  }
  if (argc < 3) return UsageError("no verse file given");
  const std::string path = argv[2];
  if (command == "check") {
    if (argc != 3) return UsageError("check takes only the verse file");
    return Check(path);
  }
  if (command != "show") return UsageError("unknown command \"" + std::string(command) + "\"");

  std::int16_t order = velun::kRandomVerse;
  std::uint64_t count = 1;
  std::optional<std::uint64_t> seed;
  for (int i = 3; i < argc; i += 2) {
    const std::string_view option = argv[i];
    if (i + 1 >= argc) return UsageError("option " + std::string(option) + " needs a value");
    const std::string_view value = argv[i + 1];
    if (option == "--order") {
      try {
        order = velun::TextToNumber16(value);
      } catch (const velun::Failure&) {
        return UsageError("--order takes a whole number such as 1, 2 or 3");
      }
    } else if (option == "--count") {
      const auto number = ParseUnsigned(value);
      if (!number) return UsageError("--count takes a whole number of 0 or more");
      count = *number;
    } else if (option == "--seed") {
      seed = ParseUnsigned(value);
      if (!seed) return UsageError("--seed takes a whole number of 0 or more");
    } else {
      return UsageError("unknown option " + std::string(option));
    }
  }
  return Show(path, order, count, seed);
}

}  // namespace

int main(int argc, char** argv) {
  std::ios::sync_with_stdio(false);
  try {
    return Run(argc, argv);
  } catch (const velun::Failure& failure) {
    std::cout.flush();
    std::cerr << "velun-verses: failure " << failure.Number() << ": " << failure.Description()
              << "\n";
    if (argc > 2 && std::string_view(argv[1]) == "show" &&
        failure.Number() != velun::failures::kFileNotFound)
      std::cerr << "velun-verses: \"velun-verses check " << argv[2]
                << "\" lists the lines that depart from the layout\n";
    return kExitProblems;
  }
}
