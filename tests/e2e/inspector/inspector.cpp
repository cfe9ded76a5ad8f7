// velun-inspector: looks at and drives Windows programs from outside, for the
// end-to-end tests. Runs under the same Wine as the program it inspects and
// answers on standard output with one line of JSON (UTF-8).
//
//   window   TITLE TIMEOUT_MS [CLASS]        the visible top-level window so titled
//   controls TITLE TIMEOUT_MS [CLASS]        that window and its visible controls' texts
//                                            and rectangles
//   press    TITLE BUTTON TIMEOUT_MS [CLASS] presses the visible button of that text
//   launch   WAIT_MS COMMAND_LINE            starts a process with exactly that command
//                                            line and waits for its end at most WAIT_MS
//   wait-exit PID TIMEOUT_MS                 waits for the end of a process
//   terminate PID                            ends a process left behind by a failed test
//   registry-dump                    every value under the program's settings key
//   registry-set SECTION KEY TEXT    a REG_SZ value
//   registry-set-dword SECTION KEY N a REG_DWORD value
//   registry-clear                   removes the program's settings key
//   monitors                         the monitors Windows reports
//   post     TITLE CLASS MESSAGE WPARAM      posts a message to that window (numbers in decimal)
//   dialog   TITLE TIMEOUT_MS [CLASS]        a dialog in detail: client rectangle, owner,
//                                            title bar, focus, default button, tab order, and
//                                            every control (hidden ones too) with its style,
//                                            list entries or track-bar settings
//   direction TEXT...                        the saver's reading direction of each text
//                                            ("rtl" or "ltr")
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <cstdio>
#include <string>
#include <vector>

#include "platform/win32/text_direction.h"

namespace {

const wchar_t kSettingsKey[] = L"Software\\VB and VBA Program Settings\\Velun Saver";

std::string Utf8(const std::wstring& text) {
  if (text.empty()) return {};
  const int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr,
                                    0, nullptr, nullptr);
  std::string out(static_cast<std::size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n,
                      nullptr, nullptr);
  return out;
}

std::string Json(const std::wstring& text) {
  std::string out = "\"";
  for (unsigned char c : Utf8(text)) {
    switch (c) {
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      case '\r': out += "\\r"; break;
      case '\n': out += "\\n"; break;
      case '\t': out += "\\t"; break;
      default:
        if (c < 0x20) {
          char buffer[8];
          std::snprintf(buffer, sizeof buffer, "\\u%04x", c);
          out += buffer;
        } else {
          out += static_cast<char>(c);
        }
    }
  }
  return out + "\"";
}

std::string Json(const RECT& r) {
  return "[" + std::to_string(r.left) + "," + std::to_string(r.top) + "," +
         std::to_string(r.right) + "," + std::to_string(r.bottom) + "]";
}

void Answer(const std::string& json) {
  const std::string line = json + "\n";
  DWORD written = 0;
  WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), line.data(), static_cast<DWORD>(line.size()), &written,
            nullptr);
}

std::wstring WindowText(HWND window) {
  const int length = GetWindowTextLengthW(window);
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  const int got = GetWindowTextW(window, text.data(), length + 1);
  text.resize(static_cast<std::size_t>(got));
  return text;
}

std::wstring ClassOf(HWND window) {
  wchar_t name[256] = {};
  GetClassNameW(window, name, 256);
  return name;
}

struct Search {
  std::wstring title;
  std::wstring windowClass;  // empty: any class
  HWND found = nullptr;
};

BOOL CALLBACK MatchTopLevel(HWND window, LPARAM data) {
  auto* search = reinterpret_cast<Search*>(data);
  if (IsWindowVisible(window) && WindowText(window) == search->title &&
      (search->windowClass.empty() || ClassOf(window) == search->windowClass)) {
    search->found = window;
    return FALSE;
  }
  return TRUE;
}

// Waits until a visible top-level window has the title; a message box is only
// complete once it is visible.
HWND WaitForWindow(const std::wstring& title, DWORD timeoutMs, const std::wstring& windowClass) {
  const DWORD start = GetTickCount();
  for (;;) {
    Search search{title, windowClass};
    EnumWindows(MatchTopLevel, reinterpret_cast<LPARAM>(&search));
    if (search.found != nullptr) return search.found;
    if (GetTickCount() - start >= timeoutMs) return nullptr;
    Sleep(20);
  }
}

std::string WindowJson(HWND window) {
  RECT rect{};
  GetWindowRect(window, &rect);
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  return "\"found\":true,\"title\":" + Json(WindowText(window)) + ",\"class\":" +
         Json(ClassOf(window)) + ",\"rect\":" + Json(rect) + ",\"pid\":" + std::to_string(pid) +
         ",\"style\":" + std::to_string(GetWindowLongW(window, GWL_STYLE)) +
         ",\"exstyle\":" + std::to_string(GetWindowLongW(window, GWL_EXSTYLE));
}

BOOL CALLBACK CollectChild(HWND child, LPARAM data) {
  if (IsWindowVisible(child)) reinterpret_cast<std::vector<HWND>*>(data)->push_back(child);
  return TRUE;
}

std::vector<HWND> VisibleChildren(HWND window) {
  std::vector<HWND> children;
  EnumChildWindows(window, CollectChild, reinterpret_cast<LPARAM>(&children));
  return children;
}

int CommandWindow(const std::wstring& title, DWORD timeout, const std::wstring& windowClass,
                  bool withControls) {
  HWND window = WaitForWindow(title, timeout, windowClass);
  if (window == nullptr) {
    Answer("{\"found\":false}");
    return 1;
  }
  if (withControls) Sleep(100);  // let a dialog finish laying out its controls
  std::string json = "{" + WindowJson(window);
  if (withControls) {
    json += ",\"controls\":[";
    bool first = true;
    for (HWND child : VisibleChildren(window)) {
      RECT rect{};
      GetWindowRect(child, &rect);
      json += (first ? "" : ",");
      json += "{\"class\":" + Json(ClassOf(child)) + ",\"id\":" +
              std::to_string(GetDlgCtrlID(child)) + ",\"text\":" + Json(WindowText(child)) +
              ",\"rect\":" + Json(rect) + "}";
      first = false;
    }
    json += "]";
  }
  Answer(json + "}");
  return 0;
}

int CommandPress(const std::wstring& title, const std::wstring& button, DWORD timeout,
                 const std::wstring& windowClass) {
  HWND window = WaitForWindow(title, timeout, windowClass);
  if (window == nullptr) {
    Answer("{\"pressed\":false,\"found\":false}");
    return 1;
  }
  const DWORD start = GetTickCount();
  do {
    for (HWND child : VisibleChildren(window)) {
      if (ClassOf(child) == L"Button" && WindowText(child) == button) {
        PostMessageW(child, BM_CLICK, 0, 0);
        Answer("{\"pressed\":true}");
        return 0;
      }
    }
    Sleep(20);
  } while (GetTickCount() - start < timeout);
  Answer("{\"pressed\":false,\"found\":true}");
  return 1;
}

int CommandLaunch(DWORD waitMs, const std::wstring& commandLine) {
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  std::wstring line = commandLine;
  if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                      &process)) {
    Answer("{\"started\":false,\"error\":" + std::to_string(GetLastError()) + "}");
    return 1;
  }
  const DWORD waited = WaitForSingleObject(process.hProcess, waitMs);
  DWORD code = 0;
  GetExitCodeProcess(process.hProcess, &code);
  Answer("{\"started\":true,\"pid\":" + std::to_string(process.dwProcessId) + ",\"exited\":" +
         (waited == WAIT_OBJECT_0 ? "true" : "false") + ",\"code\":" + std::to_string(code) + "}");
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return 0;
}

int CommandWaitExit(DWORD pid, DWORD timeout) {
  HANDLE process = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
  if (process == nullptr) {
    Answer("{\"exited\":true,\"known\":false}");
    return 0;
  }
  const DWORD start = GetTickCount();
  const DWORD waited = WaitForSingleObject(process, timeout);
  const DWORD elapsed = GetTickCount() - start;
  CloseHandle(process);
  Answer(std::string("{\"exited\":") + (waited == WAIT_OBJECT_0 ? "true" : "false") +
         ",\"known\":true,\"ms\":" + std::to_string(elapsed) + "}");
  return 0;
}

int CommandTerminate(DWORD pid) {
  HANDLE process = OpenProcess(PROCESS_TERMINATE, FALSE, pid);
  const bool done = process != nullptr && TerminateProcess(process, 1);
  if (process != nullptr) CloseHandle(process);
  Answer(std::string("{\"terminated\":") + (done ? "true" : "false") + "}");
  return 0;
}

int CommandPost(const std::wstring& title, const std::wstring& windowClass, UINT message,
                WPARAM wParam) {
  HWND window = WaitForWindow(title, 5000, windowClass);
  const bool posted = window != nullptr && PostMessageW(window, message, wParam, 0);
  Answer(std::string("{\"posted\":") + (posted ? "true" : "false") + "}");
  return posted ? 0 : 1;
}

int CommandRegistryDump() {
  std::string json = "{\"values\":[";
  bool first = true;
  HKEY root = nullptr;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, kSettingsKey, 0, KEY_READ, &root) == ERROR_SUCCESS) {
    wchar_t section[256];
    for (DWORD i = 0;; ++i) {
      DWORD sectionLength = 256;
      if (RegEnumKeyExW(root, i, section, &sectionLength, nullptr, nullptr, nullptr, nullptr) !=
          ERROR_SUCCESS)
        break;
      HKEY key = nullptr;
      if (RegOpenKeyExW(root, section, 0, KEY_READ, &key) != ERROR_SUCCESS) continue;
      for (DWORD j = 0;; ++j) {
        wchar_t name[256];
        DWORD nameLength = 256;
        BYTE data[4096];
        DWORD dataLength = sizeof data - 2;
        DWORD type = 0;
        if (RegEnumValueW(key, j, name, &nameLength, nullptr, &type, data, &dataLength) !=
            ERROR_SUCCESS)
          break;
        std::wstring text;
        if (type == REG_SZ || type == REG_EXPAND_SZ) {
          data[dataLength] = 0;
          data[dataLength + 1] = 0;
          text = reinterpret_cast<const wchar_t*>(data);
        } else if (type == REG_DWORD) {
          text = std::to_wstring(*reinterpret_cast<const DWORD*>(data));
        }
        json += (first ? "" : ",");
        json += "{\"section\":" + Json(section) + ",\"key\":" + Json(name) +
                ",\"type\":" + std::to_string(type) + ",\"text\":" + Json(text) + "}";
        first = false;
      }
      RegCloseKey(key);
    }
    RegCloseKey(root);
  }
  Answer(json + "]}");
  return 0;
}

int CommandRegistrySet(const std::wstring& section, const std::wstring& name,
                       const std::wstring& text, bool dword) {
  HKEY key = nullptr;
  const std::wstring path = std::wstring(kSettingsKey) + L"\\" + section;
  if (RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key,
                      nullptr) != ERROR_SUCCESS) {
    Answer("{\"set\":false}");
    return 1;
  }
  LSTATUS status;
  if (dword) {
    const DWORD value = static_cast<DWORD>(std::wcstoul(text.c_str(), nullptr, 10));
    status = RegSetValueExW(key, name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                            sizeof value);
  } else {
    status = RegSetValueExW(key, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                            static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
  }
  RegCloseKey(key);
  Answer(std::string("{\"set\":") + (status == ERROR_SUCCESS ? "true" : "false") + "}");
  return status == ERROR_SUCCESS ? 0 : 1;
}

int CommandRegistryClear() {
  const LSTATUS status = RegDeleteTreeW(HKEY_CURRENT_USER, kSettingsKey);
  Answer(std::string("{\"cleared\":") +
         (status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND ? "true" : "false") + "}");
  return 0;
}

BOOL CALLBACK AddMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM data) {
  MONITORINFO info{};
  info.cbSize = sizeof info;
  GetMonitorInfoW(monitor, &info);
  auto* json = reinterpret_cast<std::string*>(data);
  if (json->back() != '[') *json += ",";
  *json += "{\"rect\":" + Json(info.rcMonitor) + ",\"primary\":" +
           ((info.dwFlags & MONITORINFOF_PRIMARY) ? "true" : "false") + "}";
  return TRUE;
}

int CommandMonitors() {
  std::string json = "{\"monitors\":[";
  EnumDisplayMonitors(nullptr, nullptr, AddMonitor, reinterpret_cast<LPARAM>(&json));
  Answer(json + "]}");
  return 0;
}


BOOL CALLBACK CollectAnyChild(HWND child, LPARAM data) {
  reinterpret_cast<std::vector<HWND>*>(data)->push_back(child);
  return TRUE;
}

// The text a control holds (for an edit or a list, not a caption that another
// process could read directly).
std::wstring ControlText(HWND control) {
  wchar_t text[1024] = {};
  SendMessageW(control, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text));
  return text;
}

std::string ControlJson(HWND control) {
  RECT rect{};
  GetWindowRect(control, &rect);
  const std::wstring windowClass = ClassOf(control);
  std::string json = "{\"class\":" + Json(windowClass) + ",\"id\":" +
                     std::to_string(GetDlgCtrlID(control)) + ",\"text\":" +
                     Json(ControlText(control)) + ",\"rect\":" + Json(rect) + ",\"style\":" +
                     std::to_string(static_cast<DWORD>(GetWindowLongW(control, GWL_STYLE))) +
                     ",\"exstyle\":" + std::to_string(GetWindowLongW(control, GWL_EXSTYLE)) +
                     ",\"visible\":" + (IsWindowVisible(control) ? "true" : "false");
  if (windowClass == L"ComboBox") {
    const LRESULT count = SendMessageW(control, CB_GETCOUNT, 0, 0);
    json += ",\"selected\":" + std::to_string(SendMessageW(control, CB_GETCURSEL, 0, 0)) +
            ",\"items\":[";
    for (LRESULT i = 0; i < count; ++i) {
      wchar_t item[512] = {};
      if (SendMessageW(control, CB_GETLBTEXTLEN, i, 0) < 511)
        SendMessageW(control, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(item));
      json += (i ? "," : "");
      json += "{\"text\":" + Json(item) + ",\"data\":" +
              std::to_string(SendMessageW(control, CB_GETITEMDATA, i, 0)) + "}";
    }
    json += "]";
  } else if (windowClass == TRACKBAR_CLASSW) {
    json += ",\"pos\":" + std::to_string(SendMessageW(control, TBM_GETPOS, 0, 0)) +
            ",\"min\":" + std::to_string(SendMessageW(control, TBM_GETRANGEMIN, 0, 0)) +
            ",\"max\":" + std::to_string(SendMessageW(control, TBM_GETRANGEMAX, 0, 0)) +
            ",\"line\":" + std::to_string(SendMessageW(control, TBM_GETLINESIZE, 0, 0)) +
            ",\"page\":" + std::to_string(SendMessageW(control, TBM_GETPAGESIZE, 0, 0)) +
            ",\"ticks\":" + std::to_string(SendMessageW(control, TBM_GETNUMTICS, 0, 0));
  } else if (windowClass == L"Static") {
    json += std::string(",\"icon\":") +
            (SendMessageW(control, STM_GETICON, 0, 0) != 0 ? "true" : "false");
  }
  return json + "}";
}

int CommandDialog(const std::wstring& title, DWORD timeout, const std::wstring& windowClass) {
  HWND window = WaitForWindow(title, timeout, windowClass);
  if (window == nullptr) {
    Answer("{\"found\":false}");
    return 1;
  }
  Sleep(100);  // let a dialog finish laying out its controls
  RECT client{};
  GetClientRect(window, &client);
  MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&client), 2);
  GUITHREADINFO thread{};
  thread.cbSize = sizeof thread;
  GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &thread);
  TITLEBARINFO titleBar{};
  titleBar.cbSize = sizeof titleBar;
  GetTitleBarInfo(window, &titleBar);
  const LRESULT defId = SendMessageW(window, DM_GETDEFID, 0, 0);
  std::string json = "{" + WindowJson(window) + ",\"client\":" + Json(client) +
                     ",\"owner\":" + (GetWindow(window, GW_OWNER) ? "true" : "false") +
                     ",\"title_bar\":" + Json(titleBar.rcTitleBar) +
                     ",\"focus\":" +
                     std::to_string(thread.hwndFocus ? GetDlgCtrlID(thread.hwndFocus) : -1) +
                     ",\"default\":" +
                     std::to_string(HIWORD(defId) == DC_HASDEFID ? LOWORD(defId) : -1) +
                     ",\"tab_order\":[";
  HWND first = GetNextDlgTabItem(window, nullptr, FALSE);
  HWND item = first;
  for (int i = 0; item != nullptr && i < 64; ++i) {
    json += (i ? "," : "") + std::to_string(GetDlgCtrlID(item));
    item = GetNextDlgTabItem(window, item, FALSE);
    if (item == first) break;
  }
  json += "],\"controls\":[";
  std::vector<HWND> children;
  EnumChildWindows(window, CollectAnyChild, reinterpret_cast<LPARAM>(&children));
  bool firstControl = true;
  for (HWND child : children) {
    if (GetParent(child) != window) continue;  // a combo box's own edit or list
    json += (firstControl ? "" : ",") + ControlJson(child);
    firstControl = false;
  }
  Answer(json + "]}");
  return 0;
}

int CommandDirection(const std::vector<std::wstring>& texts) {
  std::string json = "{\"directions\":[";
  for (std::size_t i = 0; i < texts.size(); ++i) {
    const bool rtl = velun::win32::LineDirection(texts[i]) ==
                     velun::win32::TextDirection::RightToLeft;
    json += std::string(i ? "," : "") + (rtl ? "\"rtl\"" : "\"ltr\"");
  }
  Answer(json + "]}");
  return 0;
}

}  // namespace

int wmain() {
  int count = 0;
  wchar_t** args = CommandLineToArgvW(GetCommandLineW(), &count);
  std::vector<std::wstring> a(args, args + count);
  auto number = [&](std::size_t i) { return static_cast<DWORD>(std::wcstoul(a[i].c_str(), nullptr, 10)); };
  const std::wstring command = count > 1 ? a[1] : L"";
  auto optional = [&](std::size_t i) { return static_cast<std::size_t>(count) > i ? a[i] : L""; };
  if (command == L"window" && count >= 4) return CommandWindow(a[2], number(3), optional(4), false);
  if (command == L"controls" && count >= 4) return CommandWindow(a[2], number(3), optional(4), true);
  if (command == L"press" && count >= 5) return CommandPress(a[2], a[3], number(4), optional(5));
  if (command == L"launch" && count == 4) return CommandLaunch(number(2), a[3]);
  if (command == L"wait-exit" && count == 4) return CommandWaitExit(number(2), number(3));
  if (command == L"terminate" && count == 3) return CommandTerminate(number(2));
  if (command == L"registry-dump") return CommandRegistryDump();
  if (command == L"registry-set" && count == 5) return CommandRegistrySet(a[2], a[3], a[4], false);
  if (command == L"registry-set-dword" && count == 5) return CommandRegistrySet(a[2], a[3], a[4], true);
  if (command == L"registry-clear") return CommandRegistryClear();
  if (command == L"monitors") return CommandMonitors();
  if (command == L"post" && count == 6) return CommandPost(a[2], a[3], number(4), number(5));
  if (command == L"dialog" && count >= 4) return CommandDialog(a[2], number(3), optional(4));
  if (command == L"direction") return CommandDirection({a.begin() + 2, a.end()});
  Answer("{\"error\":\"usage\"}");
  return 2;
}
