// Any line either parses to a name and two 16-bit numbers or raises 5, 13 or 6;
// a heading written back from what was parsed parses to the same fields.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "startup/failure.h"
#include "verses/verse_source.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view line(reinterpret_cast<const char*>(data), size);
  velun::ChapterHeading heading;
  try {
    heading = velun::ParseChapterHeading(line);
  } catch (const velun::Failure& failure) {
    const int n = failure.Number();
    if (n != 5 && n != 13 && n != 6) std::abort();
    return 0;
  }
  if (heading.name.find('-') != std::string::npos) std::abort();
  if (!heading.name.empty() && (heading.name.front() == ' ' || heading.name.back() == ' '))
    std::abort();
  const std::string again = "*" + heading.name + "-" + std::to_string(heading.number) + "-" +
                            std::to_string(heading.verseCount) + "*";
  const velun::ChapterHeading reparsed = velun::ParseChapterHeading(again);
  if (reparsed.name != heading.name || reparsed.number != heading.number ||
      reparsed.verseCount != heading.verseCount)
    std::abort();
  return 0;
}
