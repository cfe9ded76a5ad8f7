#include "verses/verse_file_check.h"

#include <algorithm>
#include <limits>
#include <optional>
#include <string_view>

#include "startup/conversions.h"
#include "startup/failure.h"
#include "verses/text_encoding.h"
#include "verses/verse_file_reader.h"
#include "verses/verse_source.h"

namespace velun {
namespace {

std::string Describe(const Failure& failure) {
  return "failure " + NumberToText(failure.Number()) + " (" + failure.Description() + ")";
}

// The chapter whose verse lines are being counted.
struct OpenChapter {
  std::int64_t headingLine = 0;
  std::int64_t number = 0;
  std::optional<std::int64_t> linesDue;  // unknown when the heading did not parse
  std::int64_t linesSeen = 0;
};

class Checker {
 public:
  explicit Checker(VerseFileCheck& result) : result_(result) {}

  void Line(std::int64_t lineNumber, std::string_view raw) {
    if (IsHeadingLine(raw))
      HeadingLine(lineNumber, LineToUtf8(raw));
    else
      VerseLine(lineNumber);
  }

  void End(std::int64_t lastLine) {
    CloseChapter();
    if (result_.headings != kChapterCount)
      Report(0, "the file holds " + NumberToText(result_.headings) + " headings, not " +
                    NumberToText(kChapterCount));
    if (result_.verseLines != kVerseLineCount)
      Report(0, "the file holds " + NumberToText(result_.verseLines) + " verse lines, not " +
                    NumberToText(kVerseLineCount));
    result_.lines = lastLine;
  }

  void Report(std::int64_t line, std::string text) {
    result_.problems.push_back({line, std::move(text)});
  }

 private:
  bool VerseLineDue() const {
    return chapter_ && chapter_->linesDue && chapter_->linesSeen < *chapter_->linesDue;
  }

  std::string DueText() const {
    return "verse line " + NumberToText(chapter_->linesSeen + 1) + " of chapter " +
           NumberToText(chapter_->number) + " (heading at line " +
           NumberToText(chapter_->headingLine) + ")";
  }

  void HeadingLine(std::int64_t lineNumber, const std::string& text) {
    std::optional<ChapterHeading> heading;
    std::string fault;
    try {
      heading = ParseChapterHeading(text);
    } catch (const Failure& failure) {
      fault = Describe(failure);
    }
    const std::string_view trimmed = TrimSpaces(text);
    const bool delimited = trimmed.size() >= 2 && trimmed.front() == '*' && trimmed.back() == '*';
    if (heading && !delimited) fault = "it must begin and end with \"*\"";
    if (heading && delimited && heading->name.empty()) fault = "the chapter name is empty";

    if (!fault.empty() && VerseLineDue()) {
      // Most likely a verse line with a "*" in it: the saver would take it for a heading.
      Report(lineNumber, "\"*\" where " + DueText() + " is due; the saver reads a line holding "
                         "\"*\" as a heading, and this one is not a valid heading: " + fault);
      ++chapter_->linesSeen;
      ++result_.verseLines;
      return;
    }
    if (VerseLineDue())
      Report(lineNumber, "a heading where " + DueText() + " is due");
    CloseChapter();
    ++result_.headings;
    chapter_ = OpenChapter{lineNumber, 0, std::nullopt, 0};
    if (!fault.empty()) {
      Report(lineNumber, "wrong heading syntax (\"*name - number - count*\" expected): " + fault);
      expectedNumber_ = 0;  // the numbering cannot be followed past this heading
      return;
    }
    chapter_->number = heading->number;
    if (expectedNumber_ != 0 && heading->number != expectedNumber_)
      Report(lineNumber, "chapter number " + NumberToText(heading->number) +
                             " out of order: " + NumberToText(expectedNumber_) + " expected");
    expectedNumber_ = heading->number + 1;
    if (heading->verseCount < 0) {
      Report(lineNumber, "negative verse count " + NumberToText(heading->verseCount));
      return;
    }
    const bool openingLine = heading->number != 1 && heading->number != 9;
    chapter_->linesDue = heading->verseCount + (openingLine ? 1 : 0);
  }

  void VerseLine(std::int64_t lineNumber) {
    ++result_.verseLines;
    if (!chapter_) {
      if (!reportedLeadingLines_)
        Report(lineNumber, "verse line before the first heading");
      reportedLeadingLines_ = true;
      return;
    }
    ++chapter_->linesSeen;
  }

  void CloseChapter() {
    if (!chapter_ || !chapter_->linesDue) return;
    if (chapter_->linesSeen != *chapter_->linesDue)
      Report(chapter_->headingLine,
             "chapter " + NumberToText(chapter_->number) + ": the heading's count promises " +
                 NumberToText(*chapter_->linesDue) + " verse lines" +
                 (chapter_->number != 1 && chapter_->number != 9 ? " (opening line included)"
                                                                 : "") +
                 ", " + NumberToText(chapter_->linesSeen) + " follow");
    chapter_.reset();
  }

  VerseFileCheck& result_;
  std::optional<OpenChapter> chapter_;
  std::int64_t expectedNumber_ = 1;
  bool reportedLeadingLines_ = false;
};

}  // namespace

VerseFileCheck CheckVerseFile(const std::string& utf8Path) {
  VerseFileCheck result;
  Checker checker(result);
  VerseFileReader reader(utf8Path);
  for (;;) {
    std::string_view line;
    try {
      line = reader.ReadLine();
    } catch (const Failure& failure) {
      if (failure.Number() == failures::kInputPastEndOfFile) break;
      // A line too long to read: nothing after it can be placed with certainty.
      // The summary counts what was read, the long line among the lines.
      checker.Report(reader.LinesRead() + 1,
                     "line longer than " + NumberToText(VerseFileReader::kLongestLine) +
                         " characters, " + Describe(failure) + "; checking stops here");
      result.lines = reader.LinesRead() + 1;
      return result;
    }
    checker.Line(reader.LinesRead(), line);
  }
  checker.End(reader.LinesRead());
  // In file order; problems of the file as a whole last.
  std::stable_sort(result.problems.begin(), result.problems.end(),
                   [](const VerseFileProblem& a, const VerseFileProblem& b) {
                     const auto key = [](std::int64_t line) {
                       return line == 0 ? std::numeric_limits<std::int64_t>::max() : line;
                     };
                     return key(a.line) < key(b.line);
                   });
  return result;
}

}  // namespace velun
