// The Windows entry point of the screen saver.
// Implemented:
//  [X] wWinMain runs the core's Main with the Windows services, the registry store
//      and the two windows: "/S" shows the saver window (Form1) and runs its load,
//      "/C" shows the preferences dialog
//  [X] After the saver's load: the window shown, black covers over the other
//      monitors, then the message loop; the window ends the process itself
//  [X] Every saver handler after the load runs through RunHandler: a failure
//      there ends the program with the standard report
#include <windows.h>

#include <memory>
#include <optional>

#include "platform/win32/cover_windows.h"
#include "platform/win32/preferences_dialog.h"
#include "platform/win32/registry_store.h"
#include "platform/win32/saver_window.h"
#include "platform/win32/system_services.h"
#include "saver/form1.h"
#include "saver/saver_events.h"
#include "startup/main.h"

namespace velun::win32 {
namespace {

class Win32ModeWindows : public ModeWindows {
 public:
  Win32ModeWindows(HINSTANCE instance, Program& program, SystemServices& system,
                   SettingsStore& store)
      : instance_(instance), program_(program), system_(system), store_(store) {}

  void ShowPreferences() override { ShowPreferencesDialog(program_, system_, store_); }

  void ShowSaver() override {
    window_ = std::make_unique<SaverWindowWin32>(instance_);
    form_ = std::make_unique<Form1>(program_, store_, system_, *window_, window_->Label1(),
                                    window_->lblFrozen(), window_->Timer1(), window_->Timer2(),
                                    random_);
    Form1& form = *form_;
    window_->SetHandlers(GuardedHandlers(form, program_, system_));
    // The load has its own failure trap; events reach the saver only after it.
    window_->Deliver([&form] { form.Form_Load(); });
    if (program_.ended) return;
    window_->Show();
    covers_ = std::make_unique<MonitorCovers>(instance_, *window_);
    covers_->Show(CoverAreas(DesktopMonitors()));
    running_ = true;
  }

  bool SaverRunning() const { return running_; }

 private:
  HINSTANCE instance_;
  Program& program_;
  SystemServices& system_;
  SettingsStore& store_;
  UniformRandom random_;
  std::unique_ptr<SaverWindowWin32> window_;
  std::unique_ptr<Form1> form_;
  std::unique_ptr<MonitorCovers> covers_;
  bool running_ = false;
};

}  // namespace
}  // namespace velun::win32

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  using namespace velun::win32;
  static velun::Program program;
  static Win32SystemServices system;
  static RegistrySettingsStore store;
  static Win32ModeWindows windows(instance, program, system, store);
  velun::Main(program, system, store, windows);
  if (!windows.SaverRunning()) return 0;
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return static_cast<int>(message.wParam);
}
