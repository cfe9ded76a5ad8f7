#include "velun_verses/verse_table.h"

#include <algorithm>

#include "verses/text_encoding.h"

namespace velun::table {
namespace {

bool IsLineBreak(char c) { return c == '\r' || c == '\n'; }
bool IsSeparatorCandidate(char c) { return c == '\t' || c == ',' || c == ';'; }

// Bytes taken by the line break at text[i] (CR LF counts as one break).
std::size_t LineBreakLength(std::string_view text, std::size_t i) {
  return text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n' ? 2 : 1;
}

// The separator is the character that ends the first field of the first row
// that has more than one field; a quoted first field is skipped whole.
char DetectSeparator(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size()) {
    if (text[i] == '"') {
      for (++i; i < text.size(); ++i) {
        if (text[i] != '"') continue;
        if (i + 1 < text.size() && text[i + 1] == '"')
          ++i;
        else
          break;
      }
      if (i < text.size()) ++i;
    }
    while (i < text.size() && !IsSeparatorCandidate(text[i]) && !IsLineBreak(text[i])) ++i;
    if (i == text.size()) break;
    if (IsSeparatorCandidate(text[i])) return text[i];
    i += LineBreakLength(text, i);
  }
  return '\t';
}

// The row that holds byte `offset` of the undecoded text, for a fault found
// before the rows are known. Rows are counted by line breaks here.
std::int64_t RowOfOffset(std::string_view bytes, std::size_t offset) {
  std::int64_t row = 1;
  for (std::size_t i = 0; i < offset && i < bytes.size(); i += LineBreakLength(bytes, i))
    if (IsLineBreak(bytes[i])) ++row;
  return row;
}

// The text as UTF-8, or nothing when it cannot be a table at all.
std::optional<std::string> Decode(std::string_view bytes, Table& table) {
  bool byteOrderMark = false;
  if (bytes.size() >= 2 && ((bytes[0] == '\xFF' && bytes[1] == '\xFE') ||
                            (bytes[0] == '\xFE' && bytes[1] == '\xFF'))) {
    table.problems.push_back({0, 0, "the table is UTF-16 (\"Unicode text\"); save it as UTF-8 "
                                    "(\"CSV UTF-8\" or tab-separated UTF-8 text) or Windows-1256"});
    return std::nullopt;
  }
  if (bytes.size() >= 3 && bytes.substr(0, 3) == "\xEF\xBB\xBF") {
    bytes.remove_prefix(3);
    byteOrderMark = true;
  }
  if (const std::size_t nul = bytes.find('\0'); nul != std::string_view::npos) {
    const std::int64_t row = RowOfOffset(bytes, nul);
    table.problems.push_back({row, row, "a NUL character: this is not a text table (a UTF-16 "
                                        "file?); save it as UTF-8 or Windows-1256 text"});
    return std::nullopt;
  }
  if (IsValidUtf8(bytes)) return std::string(bytes);
  if (byteOrderMark) {
    // Promised UTF-8 but is not: name the first row that breaks the promise.
    std::size_t start = 0;
    for (std::int64_t row = 1; start <= bytes.size(); ++row) {
      std::size_t end = start;
      while (end < bytes.size() && !IsLineBreak(bytes[end])) ++end;
      if (!IsValidUtf8(bytes.substr(start, end - start))) {
        table.problems.push_back({row, row, "not valid UTF-8, although the table begins with a "
                                            "UTF-8 byte order mark"});
        break;
      }
      if (end == bytes.size()) break;
      start = end + LineBreakLength(bytes, end);
    }
  }
  table.windows1256 = true;
  return Windows1256ToUtf8(bytes);
}

class RowReader {
 public:
  RowReader(std::string_view text, Table& table) : text_(text), table_(table) {}

  void ReadAll() {
    while (i_ < text_.size()) {
      TableRow row{rowNumber_, lineNumber_, {}};
      if (!ReadFields(row)) return;
      if (i_ < text_.size()) Break();
      ++rowNumber_;
      if (!std::all_of(row.fields.begin(), row.fields.end(), IsBlankField))
        table_.rows.push_back(std::move(row));
    }
  }

 private:
  void Break() {
    i_ += LineBreakLength(text_, i_);
    ++lineNumber_;
  }

  // False when a quote is never closed: the rest of the text is one field.
  bool ReadFields(TableRow& row) {
    bool reportedStray = false;
    for (;;) {
      std::string field;
      const bool quoted = i_ < text_.size() && text_[i_] == '"';
      if (quoted && !ReadQuoted(row, field)) return false;
      const std::size_t start = i_;
      while (i_ < text_.size() && text_[i_] != table_.separator && !IsLineBreak(text_[i_])) ++i_;
      if (quoted && i_ > start && !reportedStray) {
        // Kept as written after the quoted part, so the row's other checks still run.
        table_.problems.push_back(
            {row.row, row.line,
             "text after the closing quote of field " + std::to_string(row.fields.size() + 1) +
                 "; inside a quoted field a quote is written twice (\"\")"});
        reportedStray = true;
      }
      field.append(text_.substr(start, i_ - start));
      row.fields.push_back(std::move(field));
      if (i_ < text_.size() && text_[i_] == table_.separator) {
        ++i_;
        continue;
      }
      return true;
    }
  }

  // Reads a quoted field from its opening quote to its closing one.
  bool ReadQuoted(const TableRow& row, std::string& field) {
    ++i_;
    while (i_ < text_.size()) {
      const char c = text_[i_];
      if (c == '"') {
        if (i_ + 1 < text_.size() && text_[i_ + 1] == '"') {
          field += '"';
          i_ += 2;
          continue;
        }
        ++i_;
        return true;
      }
      if (IsLineBreak(c)) {
        const std::size_t length = LineBreakLength(text_, i_);
        field.append(text_.substr(i_, length));
        i_ += length;
        ++lineNumber_;
        continue;
      }
      field += c;
      ++i_;
    }
    table_.problems.push_back({row.row, row.line,
                               "a quote opens field " + std::to_string(row.fields.size() + 1) +
                                   " and is never closed; the rest of the table cannot be read"});
    return false;
  }

  std::string_view text_;
  Table& table_;
  std::size_t i_ = 0;
  std::int64_t rowNumber_ = 1;
  std::int64_t lineNumber_ = 1;
};

// The value of an Arabic-Indic (U+0660 to U+0669) or Extended Arabic-Indic
// (U+06F0 to U+06F9) digit at text[i], with its length; -1 for anything else.
int ArabicDigitAt(std::string_view text, std::size_t i, std::size_t& length) {
  if (i + 1 >= text.size()) return -1;
  const auto lead = static_cast<unsigned char>(text[i]);
  const auto next = static_cast<unsigned char>(text[i + 1]);
  length = 2;
  if (lead == 0xD9 && next >= 0xA0 && next <= 0xA9) return next - 0xA0;
  if (lead == 0xDB && next >= 0xB0 && next <= 0xB9) return next - 0xB0;
  return -1;
}

std::string_view TrimBlanksAndBreaks(std::string_view text) {
  const auto blank = [](char c) { return c == ' ' || c == '\t' || IsLineBreak(c); };
  while (!text.empty() && blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && blank(text.back())) text.remove_suffix(1);
  return text;
}

}  // namespace

Table ReadTable(std::string_view bytes) {
  Table table;
  const std::optional<std::string> text = Decode(bytes, table);
  if (!text) return table;
  table.separator = DetectSeparator(*text);
  RowReader(*text, table).ReadAll();
  return table;
}

std::optional<std::int64_t> ParseWholeNumber(std::string_view field) {
  const std::string_view digits = TrimBlanksAndBreaks(field);
  if (digits.empty()) return std::nullopt;
  std::int64_t value = 0;
  for (std::size_t i = 0; i < digits.size();) {
    int digit = -1;
    std::size_t length = 1;
    if (digits[i] >= '0' && digits[i] <= '9')
      digit = digits[i] - '0';
    else
      digit = ArabicDigitAt(digits, i, length);
    if (digit < 0) return std::nullopt;
    value = std::min<std::int64_t>(value * 10 + digit, 999999999);
    i += length;
  }
  return value;
}

bool LooksLikeNumber(std::string_view field) {
  std::string_view text = TrimBlanksAndBreaks(field);
  if (!text.empty() && (text.front() == '-' || text.front() == '+')) text.remove_prefix(1);
  bool digit = false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    std::size_t length = 1;
    if ((text[i] >= '0' && text[i] <= '9') || ArabicDigitAt(text, i, length) >= 0) {
      digit = true;
      i += length - 1;
    } else if (text[i] != '.' && text[i] != ',') {
      return false;
    }
  }
  return digit;
}

bool IsBlankField(std::string_view field) { return TrimBlanksAndBreaks(field).empty(); }

std::string OneLine(std::string_view field) {
  const std::string_view text = TrimBlanksAndBreaks(field);
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    if (text[i] != ' ' && text[i] != '\t' && !IsLineBreak(text[i])) {
      out += text[i++];
      continue;
    }
    const std::size_t start = i;
    bool breaks = false;
    for (; i < text.size() && (text[i] == ' ' || text[i] == '\t' || IsLineBreak(text[i])); ++i)
      breaks = breaks || text[i] != ' ';
    if (breaks)
      out += ' ';
    else
      out.append(text.substr(start, i - start));  // spaces inside a verse stay as they are
  }
  return out;
}

std::string QuoteField(std::string_view field, char separator) {
  const bool quote = (!field.empty() && field.front() == '"') ||
                     field.find_first_of(std::string{separator, '\r', '\n'}) != std::string_view::npos;
  if (!quote) return std::string(field);
  std::string out = "\"";
  for (const char c : field) {
    if (c == '"') out += '"';
    out += c;
  }
  out += '"';
  return out;
}

}  // namespace velun::table
