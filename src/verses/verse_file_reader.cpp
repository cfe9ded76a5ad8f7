#include "verses/verse_file_reader.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "startup/failure.h"
#include "verses/text_encoding.h"

namespace velun {
namespace {

constexpr std::size_t kBlockSize = 64 * 1024;
// No line of more than this many bytes can hold 32767 characters or fewer,
// whatever its encoding (UTF-8 takes at most four bytes a character).
constexpr std::size_t kLongestLineBytes = 4 * VerseFileReader::kLongestLine;

std::filesystem::path PathFromUtf8(const std::string& utf8Path) {
  // Built from UTF-8 so that a Windows build opens a non-ASCII path by its wide name.
  return std::filesystem::path(
      std::u8string(reinterpret_cast<const char8_t*>(utf8Path.data()), utf8Path.size()));
}

}  // namespace

VerseFileReader::VerseFileReader(const std::string& utf8Path) {
  const std::filesystem::path path = PathFromUtf8(utf8Path);
  std::error_code error;
  if (utf8Path.empty() || std::filesystem::is_directory(path, error)) RaiseFileNotFound();
  if (!file_.open(path, std::ios::in | std::ios::binary)) RaiseFileNotFound();
  block_.resize(kBlockSize);
  SkipByteOrderMark();
}

void VerseFileReader::Close() {
  if (file_.is_open()) file_.close();
}

std::size_t VerseFileReader::FindInBlock(char c) const {
  const void* found = std::memchr(block_.data() + position_, c, filled_ - position_);
  return found ? static_cast<std::size_t>(static_cast<const char*>(found) - block_.data()) : filled_;
}

std::size_t VerseFileReader::NextLineEnd() {
  // Where the next CR and the next LF lie is remembered across lines, so each
  // is searched for once per stretch of the block, whichever kind of line end
  // the file uses.
  if (nextCarriageReturn_ == kUnknown || nextCarriageReturn_ < position_)
    nextCarriageReturn_ = FindInBlock('\r');
  if (nextLineFeed_ == kUnknown || nextLineFeed_ < position_) nextLineFeed_ = FindInBlock('\n');
  return std::min(nextCarriageReturn_, nextLineFeed_);
}

bool VerseFileReader::Refill() {
  nextCarriageReturn_ = kUnknown;
  nextLineFeed_ = kUnknown;
  nextHeadingMark_ = kUnknown;
  if (!file_.is_open()) return false;
  const std::streamsize got = file_.sgetn(block_.data(), static_cast<std::streamsize>(block_.size()));
  position_ = 0;
  filled_ = got > 0 ? static_cast<std::size_t>(got) : 0;
  return filled_ > 0;
}

void VerseFileReader::SkipByteOrderMark() {
  if (!Refill()) return;
  if (filled_ >= 3 && static_cast<unsigned char>(block_[0]) == 0xEF &&
      static_cast<unsigned char>(block_[1]) == 0xBB && static_cast<unsigned char>(block_[2]) == 0xBF)
    position_ = 3;
}

void VerseFileReader::CheckLength(std::string_view line) const {
  if (line.size() > kLongestLineBytes) RaiseOverflow();
  // Counting characters is needed only when the bytes alone exceed the limit.
  if (line.size() > kLongestLine && CountLineCharacters(line) > kLongestLine) RaiseOverflow();
}

std::string_view VerseFileReader::ReadLine() {
  if (lineFeedMayFollow_) {
    lineFeedMayFollow_ = false;
    if (position_ == filled_) Refill();
    if (position_ < filled_ && block_[position_] == '\n') ++position_;
  }
  longLine_.clear();
  bool haveText = false;  // some of the line (possibly empty) has been seen
  for (;;) {
    if (position_ == filled_ && !Refill()) {
      if (!haveText) RaiseInputPastEndOfFile();
      // The last line of a file that does not end with a line end.
      CheckLength(longLine_);
      lastLineIsHeading_ = longLine_.find('*') != std::string::npos;
      ++linesRead_;
      return longLine_;
    }
    haveText = true;
    const char* const start = block_.data() + position_;
    const char* const stop = block_.data() + filled_;
    const char* const p = block_.data() + NextLineEnd();
    const std::size_t length = static_cast<std::size_t>(p - start);
    if (p == stop) {
      if (longLine_.size() + length > kLongestLineBytes) RaiseOverflow();
      longLine_.append(start, length);
      position_ = filled_;
      continue;
    }
    const bool carriageReturn = *p == '\r';
    position_ = static_cast<std::size_t>(p - block_.data()) + 1;
    if (carriageReturn) {
      if (position_ < filled_) {
        if (block_[position_] == '\n') ++position_;
      } else {
        lineFeedMayFollow_ = true;
      }
    }
    if (longLine_.empty()) {
      // The whole line lies in this block: hand it out without a copy.
      const std::string_view line(start, length);
      CheckLength(line);
      const std::size_t lineStart = static_cast<std::size_t>(start - block_.data());
      if (nextHeadingMark_ == kUnknown || nextHeadingMark_ < lineStart) {
        const std::size_t saved = position_;
        position_ = lineStart;
        nextHeadingMark_ = FindInBlock('*');
        position_ = saved;
      }
      lastLineIsHeading_ = nextHeadingMark_ < lineStart + length;
      ++linesRead_;
      return line;
    }
    if (longLine_.size() + length > kLongestLineBytes) RaiseOverflow();
    longLine_.append(start, length);
    CheckLength(longLine_);
    lastLineIsHeading_ = longLine_.find('*') != std::string::npos;
    ++linesRead_;
    return longLine_;
  }
}

}  // namespace velun
