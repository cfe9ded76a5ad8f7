#pragma once
// Checks a verse file against the layout the saver reads: 114 headings
// "*name - number - count*" numbered 1 to 114 in order, each followed by its
// verse lines (chapters 1 and 9 by `count` lines, every other chapter by an
// opening line and `count` lines), 6348 verse lines in all. The saver itself
// trusts the file; this is what a user runs before trusting a file of their own.
#include <cstdint>
#include <string>
#include <vector>

namespace velun {

struct VerseFileProblem {
  std::int64_t line = 0;  // 1-based line number in the file; 0 for the file as a whole
  std::string text;
};

struct VerseFileCheck {
  std::vector<VerseFileProblem> problems;
  std::int64_t lines = 0;  // lines read, a line too long to read (where checking stops) included
  std::int64_t headings = 0;
  std::int64_t verseLines = 0;
  bool Clean() const { return problems.empty(); }
};

// Reads the whole file with the saver's own line reader. A file that cannot be
// opened raises 53; every other fault is listed as a problem.
VerseFileCheck CheckVerseFile(const std::string& utf8Path);

}  // namespace velun
