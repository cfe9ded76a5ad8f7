#pragma once
// Tables as spreadsheets and text editors write them: one row per line, fields
// separated by tabs, commas or semicolons (whichever ends the first field of the
// first row), any field quoted as in RFC 4180 ("" inside quotes is one quote; a
// quoted field may hold separators and line breaks). The bytes are UTF-8, with
// or without a byte order mark, or else Windows-1256; rows end at CR LF, LF or
// CR. Rows whose fields are all blank are left out.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velun::table {

struct TableRow {
  std::int64_t row = 0;   // 1-based; every row of the file counts, blank ones too
  std::int64_t line = 0;  // line of the file where the row begins (differs from
                          // the row after a quoted field that holds a line break)
  std::vector<std::string> fields;  // UTF-8, as written (not trimmed)
};

struct TableProblem {
  std::int64_t row = 0;  // 0: the table as a whole
  std::int64_t line = 0;
  std::string text;
};

struct Table {
  char separator = '\t';
  bool windows1256 = false;  // the bytes were not UTF-8
  std::vector<TableRow> rows;
  std::vector<TableProblem> problems;
};

// Never fails: whatever cannot be read is listed in problems.
Table ReadTable(std::string_view bytes);

// A whole number field: ASCII or Arabic-Indic digits with spaces around them.
// Nothing else (no sign, no fraction). Values past 999999999 read as 999999999.
std::optional<std::int64_t> ParseWholeNumber(std::string_view field);
// Whether a field is meant as a number: digits, perhaps signed or with a fraction.
// A row whose first fields are not is a header row.
bool LooksLikeNumber(std::string_view field);
// Whether a field holds nothing but blanks and line breaks.
bool IsBlankField(std::string_view field);

// A field as one line of the verse file: every run of tabs and line breaks,
// with the spaces around it, becomes one space; spaces at both ends go.
std::string OneLine(std::string_view field);

// A field written so that ReadTable gives it back: quoted (with its quotes
// doubled) when it begins with a quote or holds the separator or a line break.
std::string QuoteField(std::string_view field, char separator);

}  // namespace velun::table
