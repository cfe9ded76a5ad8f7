// velun-verses: checks a verse file and shows the verses the saver would show.
//
//   velun-verses check FILE
//   velun-verses show FILE [--order CODE] [--count N] [--seed S]
//
// `show` drives the verse source exactly as the saver does: PrepareVerseSource
// once, then one FetchNextVerse per verse, each reading the file afresh.
#include <charconv>
#include <cstdint>
#include <cstring>
#include <iostream>
#include <optional>
#include <string>
#include <string_view>

#include "startup/conversions.h"
#include "startup/failure.h"
#include "startup/settings.h"
#include "verses/random.h"
#include "verses/verse_file_check.h"
#include "verses/verse_source.h"

namespace {

constexpr int kExitProblems = 1;
constexpr int kExitUsage = 2;

const char* const kUsage =
    "usage: velun-verses check FILE\n"
    "       velun-verses show FILE [--order 1|2|3] [--count N] [--seed S]\n"
    "\n"
    "check  lists every place where FILE departs from the verse file layout;\n"
    "       the exit status is 0 only for a clean file.\n"
    "show   prints the next N verses (default 1) as the saver would show them in\n"
    "       the order given (1 From Begining to End, 2 Random Chapter,\n"
    "       3 Random Verse, the default; other codes fetch as Random Verse).\n"
    "       --seed fixes the random draws; without it they are seeded from the clock.\n";

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

int Run(int argc, char** argv) {
  if (argc < 2) return UsageError("no command given");
  const std::string_view command = argv[1];
  if (command == "--help" || command == "-h" || command == "help") {
    std::cout << kUsage;
    return 0;
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
