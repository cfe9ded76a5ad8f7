// Any text typed as the time delay is either accepted as 1 to 60 whole seconds
// or rejected with the warning, with the stored delay left as it was.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "fakes/fake_dialog.h"
#include "prefs/frm_config.h"
#include "prefs/number_text.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  const bool commaLocale = data[0] & 1;
  const std::string text(reinterpret_cast<const char*>(data) + 1, size - 1);
  velun::fakes::DialogRig rig(commaLocale ? velun::LocaleNumberParser(",", ".")
                                          : velun::LocaleNumberParser(".", ","));
  rig.Load();
  const std::int32_t before = rig.program.settings.TimeDelay;
  rig.TxtTimeDelay.text = text;
  rig.dialog.CmdResponse_Click(0);

  const bool warned = !rig.system.messageBoxes.empty();
  const std::int32_t delay = rig.program.settings.TimeDelay;
  if (warned) {
    if (rig.system.messageBoxes.size() != 1) std::abort();
    if (rig.system.messageBoxes[0].text != "The Time delay is in the range of 1 to 60 seconds")
      std::abort();
    if (delay != before || rig.program.ended || !rig.dialog.TimeDelayInvalid()) std::abort();
  } else {
    if (delay < 1000 || delay > 60000 || delay % 1000 != 0 || !rig.program.ended) std::abort();
    // What was accepted is a number to the platform's parser, and its whole seconds
    // are those of the number read from the start of the text.
    if (!rig.numberParser.Parse(text)) std::abort();
    const auto seconds = velun::FloorOfLeadingNumber32(text);
    if (!seconds || *seconds * 1000 != delay) std::abort();
  }
  return 0;
}
