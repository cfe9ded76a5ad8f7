#pragma once
// The process-wide state that the start-up module owns.
#include "startup/settings.h"

namespace velun {

struct Program {
  Settings settings;
  // Set while the system believes a screen saver runs because the saver window
  // told it so; every end of the program withdraws the notice when this is set.
  bool screenSaverNoticeGiven = false;
  // Set once the process has been ended; a fake platform lets handlers return
  // after the end, and nothing more may then happen.
  bool ended = false;
};

}  // namespace velun
