// The Linux entry point of the screen saver.
// Implemented:
//  [X] main runs the core's Main with the Qt services, the INI store and the two
//      windows: "/S" (or nothing) shows the saver window (Form1) and runs its load,
//      "/C" shows the preferences dialog, anything else ends
//      with nothing shown
//  [X] "--help" prints the switches and where the settings live, touching nothing
//  [X] After the saver's load: the window shown, the other screens covered, then
//      the event loop; the window ends the process itself
//  [X] Every saver handler after the load runs through RunHandler: a failure there
//      ends the program with the standard report
//  [X] SIGTERM and SIGINT run the saver's own unload (settings saved, status 0); in
//      the preferences dialog they close it as its Cancel does
//  [X] As a display mode of XScreenSaver ("-root", "-window-id ID" or
//      $XSCREENSAVER_WINDOW, display_mode.h) the core is started with "/S" and the
//      saver draws into that window at its size; input ends nothing there, SIGTERM
//      ends it; its failure reports go to standard error; a window that does not
//      exist ends the program with status 1
#include <unistd.h>

#include <QApplication>
#include <QSocketNotifier>
#include <QWidget>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/qt/display_mode.h"
#include "platform/qt/foreign_window.h"
#include "platform/qt/ini_store.h"
#include "platform/qt/prefs/preferences_dialog.h"
#include "platform/qt/process_services.h"
#include "platform/qt/saver_window.h"
#include "platform/qt/system_services.h"
#include "saver/form1.h"
#include "saver/saver_events.h"
#include "startup/main.h"

namespace velun::qt {
namespace {

constexpr char kHelp[] =
    "Usage: velun-saver [/S | /C]\n"
    "Velun Saver shows verses full screen, one at a time, on black.\n"
    "\n"
    "  /S, /s, or nothing  run the saver; a key or a mouse movement ends it,\n"
    "                      the S key freezes and resumes it\n"
    "  /C, /c              open the preferences dialog\n"
    "  -root               as an XScreenSaver display mode: draw into the window in\n"
    "                      $XSCREENSAVER_WINDOW, else on the root window; input\n"
    "                      ends nothing, SIGTERM ends it\n"
    "  -window-id ID       as a display mode, draw into the X window ID\n"
    "  --help              show this text\n"
    "Anything else ends at once with nothing shown.\n"
    "\n"
    "Settings: %s\n"
    "Verses:   %s/finalvelun.txt\n";

class QtModeWindows : public ModeWindows {
 public:
  QtModeWindows(Program& program, QtSystemServices& system, SettingsStore& store,
                SaverPlacement placement)
      : program_(program), system_(system), store_(store), placement_(placement) {}

  void ShowPreferences() override {
    EnsureApplication();
    WatchTermination();
    ShowPreferencesDialog(program_, system_, store_);
  }

  void ShowSaver() override {
    EnsureApplication();
    WatchTermination();
    window_ = std::make_unique<SaverWindowQt>(placement_);
    form_ = std::make_unique<Form1>(program_, store_, system_, *window_, window_->Label1(),
                                    window_->lblFrozen(), window_->Timer1(), window_->Timer2(),
                                    random_);
    Form1& form = *form_;
    window_->SetHandlers(GuardedHandlers(form, program_, system_));
    // The load has its own failure trap; events reach the saver only after it.
    window_->Deliver([&form] { form.Form_Load(); });
    if (program_.ended) return;
    window_->Show();
    running_ = true;
  }

  bool SaverRunning() const { return running_; }

 private:
  void WatchTermination() {
    const int fd = TerminationSignalPipe();
    if (fd < 0 || notifier_) return;
    notifier_ = std::make_unique<QSocketNotifier>(fd, QSocketNotifier::Read);
    QObject::connect(notifier_.get(), &QSocketNotifier::activated, [this, fd] {
      unsigned char signal = 0;
      while (read(fd, &signal, 1) == 1) {
      }
      Terminate();
    });
  }

  void Terminate() {
    // The saver ends as a key ends it. While a message box of a failure is open
    // the program is on its way out without saving: it ends at once.
    if (window_) {
      if (!window_->DeliverUnload()) system_.EndProcess();
      return;
    }
    // The preferences dialog (and any box over it) closes as its Cancel does.
    if (QWidget* modal = QApplication::activeModalWidget()) modal->close();
    QApplication::closeAllWindows();
    if (QApplication::topLevelWidgets().isEmpty()) system_.EndProcess();
  }

  Program& program_;
  QtSystemServices& system_;
  SettingsStore& store_;
  SaverPlacement placement_;
  UniformRandom random_;
  std::unique_ptr<SaverWindowQt> window_;
  std::unique_ptr<Form1> form_;
  std::unique_ptr<QSocketNotifier> notifier_;
  bool running_ = false;
};

// Where a display mode draws, once the window is known to exist (X only).
std::optional<SaverPlacement> DisplayModePlacement(const DisplayModeStart& start) {
  qputenv("QT_QPA_PLATFORM", "xcb");  // window ids are X's
  EnsureApplication();
  SaverPlacement placement;
  placement.inputEnds = false;  // the program that runs the mode watches the input
  if (start.rootWindow) {
    placement.kind = SaverPlacement::Kind::kRootWindow;
    return placement;
  }
  const std::optional<QSize> size = ForeignWindowSize(start.window);
  if (!size) return std::nullopt;
  placement.kind = SaverPlacement::Kind::kForeignWindow;
  placement.foreignWindow = start.window;
  placement.foreignSize = *size;
  return placement;
}

}  // namespace
}  // namespace velun::qt

int main(int argc, char** argv) {
  using namespace velun::qt;
  if (argc > 1 && std::strcmp(argv[1], "--help") == 0) {
    IniSettingsStore store(IniSettingsStore::DefaultConfigHome());
    std::printf(kHelp, store.FilePath(velun::kApplicationName).c_str(),
                ProgramFolderPath().c_str());
    return 0;
  }
  // Signals are caught from the start; they are acted on once a window runs.
  TerminationSignalPipe();

  // XScreenSaver's switches are turned into the core's "/S" start.
  std::string argumentText = ArgumentTextOf(argc, argv);
  std::string lockPath = InstanceLockPath();
  SaverPlacement placement;
  std::string reason;
  const std::optional<DisplayModeStart> displayMode = ParseDisplayModeStart(
      std::vector<std::string>(argv + 1, argv + argc), std::getenv("XSCREENSAVER_WINDOW"), &reason);
  if (!reason.empty()) std::fprintf(stderr, "velun-saver: %s\n", reason.c_str());
  if (displayMode) {
    const std::optional<SaverPlacement> found = DisplayModePlacement(*displayMode);
    if (!found) {
      std::fprintf(stderr, "velun-saver: no X window 0x%x to draw into\n",
                   static_cast<unsigned>(displayMode->window));
      return 1;
    }
    placement = *found;
    argumentText = velun::qt::kDisplayModeArgumentText;
    const char* display = std::getenv("DISPLAY");
    lockPath = InstanceLockPath(DisplayModeLockName(*displayMode, display ? display : ""));
  }

  static velun::Program program;
  static QtSystemServices system(argumentText, lockPath);
  if (displayMode) system.ReportOnStandardError();
  static IniSettingsStore store(IniSettingsStore::DefaultConfigHome());
  static QtModeWindows windows(program, system, store, placement);
  velun::Main(program, system, store, windows);
  if (!windows.SaverRunning()) return 0;
  return QApplication::exec();
}
