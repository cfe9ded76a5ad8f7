#pragma once
// The one kind of failure the program raises. It travels up to one of the two
// failure traps (Main and the saver window's load) or, after the load, to the
// front end's report of an unhandled failure.
#include <cstdint>
#include <stdexcept>
#include <string>

namespace velun {

class Failure : public std::runtime_error {
 public:
  Failure(std::int32_t number, const std::string& description)
      : std::runtime_error(description), number_(number), description_(description) {}

  std::int32_t Number() const noexcept { return number_; }
  const std::string& Description() const noexcept { return description_; }

 private:
  std::int32_t number_;
  std::string description_;
};

namespace failures {
inline constexpr std::int32_t kInvalidArgument = 5;
inline constexpr std::int32_t kOverflow = 6;
inline constexpr std::int32_t kSubscriptOutOfRange = 9;
inline constexpr std::int32_t kTypeMismatch = 13;
inline constexpr std::int32_t kFileNotFound = 53;
inline constexpr std::int32_t kInputPastEndOfFile = 62;
}  // namespace failures

// The failures the program can raise, each with its number and text.
[[noreturn]] void RaiseInvalidArgument();    // 5 "Invalid procedure call or argument"
[[noreturn]] void RaiseOverflow();           // 6 "Overflow"
[[noreturn]] void RaiseSubscriptOutOfRange();// 9 "Subscript out of range"
[[noreturn]] void RaiseTypeMismatch();       // 13 "Type mismatch"
[[noreturn]] void RaiseFileNotFound();       // 53 "File not found"
[[noreturn]] void RaiseInputPastEndOfFile(); // 62 "Input past end of file"

}  // namespace velun
