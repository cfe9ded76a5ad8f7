#pragma once
// The null platform's process and system services: everything recorded.
#include <string>
#include <vector>

#include "startup/system.h"

namespace velun::fakes {

struct MessageBoxCall {
  std::string text;
  int style = 0;
  std::string title;
};

class FakeSystem : public SystemServices {
 public:
  std::string ArgumentText() override { return argumentText; }
  std::string ProgramFolder() override { return programFolder; }
  std::string PathSeparator() override { return pathSeparator; }
  bool PreviousInstanceRunning() override { return previousInstance; }
  int ShowCursor(bool show) override {
    cursorCount += show ? 1 : -1;
    events.push_back(show ? "ShowCursor(true)" : "ShowCursor(false)");
    return cursorCount;
  }
  void SetScreenSaverRunning(bool running) override {
    screenSaverRunning = running;
    events.push_back(running ? "notice on" : "notice off");
  }
  void ShowMessageBox(const std::string& text, int style, const std::string& title) override {
    messageBoxes.push_back({text, style, title});
    events.push_back("message box");
  }
  void EndProcess() override {
    ++endCount;
    events.push_back("end");
  }

  std::string argumentText;
  std::string programFolder = "C:\\Saver";
  std::string pathSeparator = "\\";
  bool previousInstance = false;
  int cursorCount = 0;
  bool screenSaverRunning = false;
  int endCount = 0;
  std::vector<MessageBoxCall> messageBoxes;
  std::vector<std::string> events;  // in the order they happened
};

}  // namespace velun::fakes
