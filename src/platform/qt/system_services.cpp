#include "platform/qt/system_services.h"

#include <unistd.h>

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPushButton>
#include <QWindow>
#include <cstdio>

#include "platform/qt/fonts.h"
#include "platform/qt/process_services.h"

namespace velun::qt {
namespace {

// A message box whose Ctrl+C copies its title, text and buttons, as a Windows
// message box does, so that a user can pass the report on as asked.
class CopyableMessageBox : public QMessageBox {
 public:
  using QMessageBox::QMessageBox;

 protected:
  void keyPressEvent(QKeyEvent* event) override {
    if (!event->matches(QKeySequence::Copy)) {
      QMessageBox::keyPressEvent(event);
      return;
    }
    const QString rule = "---------------------------\n";
    QString copied = rule + windowTitle() + "\n" + rule + text() + "\n" + rule;
    for (QAbstractButton* button : buttons()) copied += button->text().remove('&') + "   ";
    QGuiApplication::clipboard()->setText(copied + "\n" + rule);
  }
};

}  // namespace

QApplication& EnsureApplication() {
  // Qt is given no arguments of the program's: the switch belongs to the saver
  // alone (Qt's own options come from the environment, QT_QPA_PLATFORM and so on).
  static int argc = 1;
  static char name[] = "velun-saver";
  static char* argv[] = {name, nullptr};
  static QApplication* application = [] {
    auto* app = new QApplication(argc, argv);
    QApplication::setApplicationName("Velun Saver");
    QApplication::setQuitOnLastWindowClosed(false);  // the windows end the process
    InstallFontSubstitutions();
    return app;
  }();
  return *application;
}

QtSystemServices::QtSystemServices(int argc, const char* const* argv)
    : QtSystemServices(ArgumentTextOf(argc, argv), InstanceLockPath()) {}

QtSystemServices::QtSystemServices(std::string argumentText, std::string instanceLockPath)
    : argumentText_(std::move(argumentText)), instanceLockPath_(std::move(instanceLockPath)) {}

std::string QtSystemServices::ProgramFolder() { return ProgramFolderPath(); }

bool QtSystemServices::PreviousInstanceRunning() {
  static const bool held = AnotherInstanceHolds(instanceLockPath_);
  return held;
}

int QtSystemServices::ShowCursor(bool show) {
  cursorCount_ += show ? 1 : -1;
  ApplyCursor();
  return cursorCount_;
}

void QtSystemServices::ApplyCursor() {
  const bool hide = cursorCount_ < 0;
  if (hide == cursorHidden_ || QApplication::instance() == nullptr) return;
  if (hide)
    QApplication::setOverrideCursor(Qt::BlankCursor);
  else
    QApplication::restoreOverrideCursor();
  cursorHidden_ = hide;
}

void QtSystemServices::ShowMessageBox(const std::string& text, int style,
                                      const std::string& title) {
  if (reportOnStandardError_) {
    std::string shown;
    for (char c : text)
      if (c != '\r') shown += c;
    std::fprintf(stderr, "%s: %s\n", title.c_str(), shown.c_str());
    std::fflush(stderr);
    return;
  }
  EnsureApplication();
  ApplyCursor();
  // The saver holds the keyboard and the pointer; the box needs them.
  for (QWindow* window : QGuiApplication::topLevelWindows()) {
    window->setKeyboardGrabEnabled(false);
    window->setMouseGrabEnabled(false);
  }
  QString shown = ToQString(text);
  shown.replace("\r\n", "\n");
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  if (style == kStyleStop) icon = QMessageBox::Critical;
  if (style == kStyleExclamation) icon = QMessageBox::Warning;
  CopyableMessageBox box(icon, ToQString(title), shown, QMessageBox::Ok);
  box.setTextFormat(Qt::PlainText);
  box.setWindowFlag(Qt::WindowStaysOnTopHint);
  box.exec();
}

void QtSystemServices::EndProcess() {
  std::fflush(nullptr);
  _exit(0);
}

}  // namespace velun::qt
