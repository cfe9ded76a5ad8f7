#include "platform/win32/monitor_layout.h"

#include <algorithm>

namespace velun::win32 {
namespace {

bool SameArea(const MonitorArea& a, const MonitorArea& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

}  // namespace

std::vector<MonitorArea> CoverAreas(const std::vector<MonitorArea>& monitors) {
  std::vector<MonitorArea> covers;
  const auto primary = std::find_if(monitors.begin(), monitors.end(),
                                    [](const MonitorArea& m) { return m.primary; });
  for (const MonitorArea& monitor : monitors) {
    if (monitor.primary || monitor.right <= monitor.left || monitor.bottom <= monitor.top) continue;
    if (primary != monitors.end() && SameArea(monitor, *primary)) continue;
    const bool alreadyCovered = std::any_of(covers.begin(), covers.end(), [&](const MonitorArea& c) {
      return SameArea(c, monitor);
    });
    if (!alreadyCovered) covers.push_back(monitor);
  }
  return covers;
}

}  // namespace velun::win32
