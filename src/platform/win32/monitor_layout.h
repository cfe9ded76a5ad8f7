#pragma once
// Which parts of the desktop the saver covers with plain black windows.
// Implemented:
//  [X] Every monitor but the primary one (which the saver window covers) gets a cover
//  [X] A monitor that mirrors the primary one (same area) or another monitor gets none
// Plain C++ (no Windows header), so that it is checked on every build machine.
#include <vector>

namespace velun::win32 {

struct MonitorArea {
  long left = 0, top = 0, right = 0, bottom = 0;  // pixels, desktop coordinates
  bool primary = false;
  friend bool operator==(const MonitorArea&, const MonitorArea&) = default;
};

std::vector<MonitorArea> CoverAreas(const std::vector<MonitorArea>& monitors);

}  // namespace velun::win32
