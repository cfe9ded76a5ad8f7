#pragma once
// The reverse of the import: a verse file as a table of chapter, verse and text
// (tab-separated, UTF-8 with a byte order mark so that spreadsheets take it for
// UTF-8, CR LF), with the chapter names in a NAMES section at its end or in a
// table of their own. Importing the table again gives a file that shows the
// same verses; a file already in the import's layout comes back byte for byte.
#include <string>
#include <vector>

#include "verses/verse_file_check.h"

namespace velun::table {

struct ExportedTable {
  std::string table;  // the verse rows, then the NAMES section unless the names go apart
  std::string names;  // the names table, when asked for apart
  std::vector<VerseFileProblem> problems;  // the file is not clean: nothing exported
};

// Only a file that the verse-file check finds clean is exported. A missing file raises 53.
ExportedTable ExportVerseFile(const std::string& utf8Path, bool namesApart);

}  // namespace velun::table
