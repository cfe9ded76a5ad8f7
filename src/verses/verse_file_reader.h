#pragma once
// One reading of the verse file: opened at its first line, read line after
// line, closed when the reading ends (at the latest when it goes out of scope).
// Nothing is kept from one reading to the next.
#include <cstddef>
#include <cstdint>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

namespace velun {

class VerseFileReader {
 public:
  // The longest line the saver accepts, in characters.
  static constexpr std::size_t kLongestLine = 32767;

  // Opens the file named by a UTF-8 path. A file that is missing or cannot be
  // opened for reading raises 53.
  explicit VerseFileReader(const std::string& utf8Path);
  VerseFileReader(const VerseFileReader&) = delete;
  VerseFileReader& operator=(const VerseFileReader&) = delete;

  // Reads the next line: its bytes as the file holds them, without the line
  // end (CR, CR LF or a lone LF) and, on the first line, without a UTF-8 byte
  // order mark. The view stays valid until the next call. Past the last line:
  // 62. A line longer than kLongestLine characters: 6, found without reading
  // more than a bounded part of it.
  std::string_view ReadLine();

  // Whether the line just read holds the heading mark "*". Found with one search
  // per stretch of the block, as the mark is rare, instead of a search per line.
  bool LastLineIsHeading() const { return lastLineIsHeading_; }

  // Lines read whole so far; the line just read has this number.
  std::int64_t LinesRead() const { return linesRead_; }

  void Close();

 private:
  // Reads the next block of the file; false at its end.
  bool Refill();
  void SkipByteOrderMark();
  // Offset in block_ of the next CR or LF at or after position_; filled_ when none.
  std::size_t NextLineEnd();
  std::size_t FindInBlock(char c) const;
  void CheckLength(std::string_view line) const;

  std::filebuf file_;
  std::vector<char> block_;
  std::size_t position_ = 0;  // next unread byte of block_
  std::size_t filled_ = 0;    // bytes of block_ that hold file data
  std::string longLine_;      // a line that runs across blocks
  static constexpr std::size_t kUnknown = static_cast<std::size_t>(-1);
  std::size_t nextCarriageReturn_ = kUnknown;
  std::size_t nextLineFeed_ = kUnknown;
  std::size_t nextHeadingMark_ = kUnknown;
  bool lastLineIsHeading_ = false;
  bool lineFeedMayFollow_ = false;  // the last line ended at a CR at the end of a block
  std::int64_t linesRead_ = 0;
};

}  // namespace velun
