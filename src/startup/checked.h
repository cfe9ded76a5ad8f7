#pragma once
// Arithmetic on the program's 16-bit and 32-bit members. A result that leaves
// the member's width is an overflow failure, never a wrap-around.
#include <cmath>
#include <cstdint>
#include <limits>

#include "startup/failure.h"

namespace velun {

template <typename Int>
constexpr Int NarrowOrOverflow(std::int64_t value) {
  if (value < std::numeric_limits<Int>::min() || value > std::numeric_limits<Int>::max())
    RaiseOverflow();
  return static_cast<Int>(value);
}

constexpr std::int16_t Add16(std::int64_t a, std::int64_t b) {
  return NarrowOrOverflow<std::int16_t>(a + b);
}
constexpr std::int16_t Sub16(std::int64_t a, std::int64_t b) {
  return NarrowOrOverflow<std::int16_t>(a - b);
}
constexpr std::int32_t Add32(std::int64_t a, std::int64_t b) {
  return NarrowOrOverflow<std::int32_t>(a + b);
}
constexpr std::int32_t Sub32(std::int64_t a, std::int64_t b) {
  return NarrowOrOverflow<std::int32_t>(a - b);
}

// Index into an array whose valid indices run from 0 to size - 1.
template <typename Container>
auto& At(Container& c, std::int64_t index) {
  if (index < 0 || static_cast<std::uint64_t>(index) >= c.size()) RaiseSubscriptOutOfRange();
  return c[static_cast<std::size_t>(index)];
}

// Rounds to the nearest integer, halves to even, then narrows (6 when out of range).
template <typename Int>
Int RoundHalfEven(double value) {
  if (!std::isfinite(value)) RaiseOverflow();
  double whole = std::floor(value);
  const double fraction = value - whole;
  if (fraction > 0.5 || (fraction == 0.5 && std::fmod(whole, 2.0) != 0.0)) whole += 1.0;
  if (whole < static_cast<double>(std::numeric_limits<Int>::min()) ||
      whole > static_cast<double>(std::numeric_limits<Int>::max()))
    RaiseOverflow();
  return static_cast<Int>(whole);
}

}  // namespace velun
