#pragma once
// Plain black windows over every monitor but the primary one.
// Implemented:
//  [X] One top-most borderless black window per other monitor (monitor_layout.h),
//      not in the taskbar, shown without taking the focus
//  [X] A key or a mouse movement over one of them goes to the saver window's own
//      handlers, so it ends (or freezes) the saver exactly like one over the verse
//  [ ] No verse on them: the verse stays on the primary monitor
#include <windows.h>

#include <vector>

#include "platform/win32/monitor_layout.h"

namespace velun::win32 {

class SaverWindowWin32;

std::vector<MonitorArea> DesktopMonitors();

class MonitorCovers {
 public:
  MonitorCovers(HINSTANCE instance, SaverWindowWin32& saver);
  MonitorCovers(const MonitorCovers&) = delete;
  MonitorCovers& operator=(const MonitorCovers&) = delete;
  ~MonitorCovers();

  void Show(const std::vector<MonitorArea>& areas);
  std::size_t Count() const { return windows_.size(); }

 private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

  HINSTANCE instance_;
  SaverWindowWin32& saver_;
  std::vector<HWND> windows_;
};

}  // namespace velun::win32
