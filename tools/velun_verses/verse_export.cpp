#include "velun_verses/verse_export.h"

#include "startup/conversions.h"
#include "startup/failure.h"
#include "velun_verses/verse_table.h"
#include "verses/text_encoding.h"
#include "verses/verse_file_reader.h"
#include "verses/verse_source.h"

namespace velun::table {
namespace {

constexpr char kByteOrderMark[] = "\xEF\xBB\xBF";
constexpr char kRowEnd[] = "\r\n";

void AddRow(std::string& out, const std::string& first, const std::string& second) {
  out += first;
  out += '\t';
  out += QuoteField(second, '\t');
  out += kRowEnd;
}

}  // namespace

ExportedTable ExportVerseFile(const std::string& utf8Path, bool namesApart) {
  ExportedTable out;
  VerseFileCheck check = CheckVerseFile(utf8Path);
  if (!check.Clean()) {
    out.problems = std::move(check.problems);
    return out;
  }
  std::string names;
  out.table = std::string(kByteOrderMark) + "chapter\tverse\ttext" + kRowEnd;
  VerseFileReader reader(utf8Path);
  std::string chapter;
  std::int64_t verse = 0;
  for (;;) {
    std::string_view line;
    try {
      line = reader.ReadLine();
    } catch (const Failure& failure) {
      if (failure.Number() != failures::kInputPastEndOfFile) throw;
      break;
    }
    if (reader.LastLineIsHeading()) {
      const ChapterHeading heading = ParseChapterHeading(LineToUtf8(line));
      chapter = NumberToText(heading.number);
      verse = heading.number == 1 || heading.number == 9 ? 1 : 0;
      AddRow(names, chapter, heading.name);
      continue;
    }
    // What the saver shows of the line: without its outer spaces.
    AddRow(out.table, chapter + "\t" + NumberToText(verse++),
           std::string(TrimSpaces(LineToUtf8(line))));
  }
  const std::string namesHeader = std::string("chapter\tname") + kRowEnd;
  if (namesApart)
    out.names = kByteOrderMark + namesHeader + names;
  else
    out.table += kRowEnd + std::string("NAMES") + kRowEnd + namesHeader + names;
  return out;
}

}  // namespace velun::table
