#include "platform/win32/cover_windows.h"

#include "platform/win32/saver_window.h"

namespace velun::win32 {
namespace {

constexpr wchar_t kCoverClass[] = L"VelunSaverCover";

BOOL CALLBACK AddMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM data) {
  MONITORINFO info{};
  info.cbSize = sizeof info;
  if (GetMonitorInfoW(monitor, &info)) {
    auto* monitors = reinterpret_cast<std::vector<MonitorArea>*>(data);
    monitors->push_back({info.rcMonitor.left, info.rcMonitor.top, info.rcMonitor.right,
                         info.rcMonitor.bottom, (info.dwFlags & MONITORINFOF_PRIMARY) != 0});
  }
  return TRUE;
}

}  // namespace

std::vector<MonitorArea> DesktopMonitors() {
  std::vector<MonitorArea> monitors;
  EnumDisplayMonitors(nullptr, nullptr, AddMonitor, reinterpret_cast<LPARAM>(&monitors));
  return monitors;
}

MonitorCovers::MonitorCovers(HINSTANCE instance, SaverWindowWin32& saver)
    : instance_(instance), saver_(saver) {
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = WindowProc;
  windowClass.hInstance = instance;
  windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
  windowClass.lpszClassName = kCoverClass;
  RegisterClassExW(&windowClass);
}

MonitorCovers::~MonitorCovers() {
  for (HWND window : windows_) DestroyWindow(window);
}

void MonitorCovers::Show(const std::vector<MonitorArea>& areas) {
  for (const MonitorArea& area : areas) {
    HWND window = CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, kCoverClass, L"", WS_POPUP,
                                  area.left, area.top, area.right - area.left,
                                  area.bottom - area.top, nullptr, nullptr, instance_, &saver_);
    if (window == nullptr) continue;
    ShowWindow(window, SW_SHOWNOACTIVATE);
    windows_.push_back(window);
  }
}

LRESULT CALLBACK MonitorCovers::WindowProc(HWND window, UINT message, WPARAM wParam,
                                           LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* saver = reinterpret_cast<SaverWindowWin32*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (saver != nullptr) {
    switch (message) {
      case WM_KEYDOWN:
      case WM_SYSKEYDOWN:
        saver->DeliverKey(wParam);
        return 0;
      case WM_SYSCHAR:
      case WM_SYSKEYUP:
        return 0;
      case WM_MOUSEMOVE: {
        POINT point{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
        ClientToScreen(window, &point);
        saver->DeliverMouseAt(point, wParam);
        return 0;
      }
      case WM_SYSCOMMAND:
        if ((wParam & 0xFFF0) == SC_SCREENSAVE) return 0;
        if ((wParam & 0xFFF0) == SC_CLOSE) {
          saver->DeliverUnload();
          return 0;
        }
        break;
      case WM_CLOSE:
        saver->DeliverUnload();
        return 0;
      default:
        break;
    }
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace velun::win32
