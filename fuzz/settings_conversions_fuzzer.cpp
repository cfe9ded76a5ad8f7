// Any stored text either converts to a value in range or raises the failure the
// conversions define; a converted value written back converts again to itself.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "startup/conversions.h"
#include "startup/failure.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

template <typename Convert>
void RoundTrip(std::string_view text, Convert convert, bool mayOverflow) {
  try {
    const auto value = convert(text);
    Check(convert(velun::NumberToText(value)) == value);
  } catch (const velun::Failure& failure) {
    Check(failure.Number() == 13 || (mayOverflow && failure.Number() == 6));
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  RoundTrip(text, velun::TextToNumber16, true);
  RoundTrip(text, velun::TextToNumber32, true);

  try {
    const std::int32_t colour = velun::TextToLeadingNumber32(text);
    Check(velun::TextToLeadingNumber32(velun::NumberToText(colour)) == colour);
  } catch (const velun::Failure& failure) {
    Check(failure.Number() == 6);  // the colour's reading never fails on text
  }

  try {
    const bool flag = velun::TextToBoolean(text);
    Check(velun::TextToBoolean(velun::BooleanToText(flag)) == flag);
  } catch (const velun::Failure& failure) {
    Check(failure.Number() == 13);
  }

  // A 16-bit number is also a 32-bit number with the same value.
  try {
    const std::int16_t small = velun::TextToNumber16(text);
    Check(velun::TextToNumber32(text) == small);
  } catch (const velun::Failure&) {
  }
  return 0;
}
