#include "platform/qt/cover_windows.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QGuiApplication>
#include <QPainter>
#include <QScreen>

#include "platform/qt/saver_window.h"

namespace velun::qt {
namespace {

class CoverWindow : public QWidget {
 public:
  CoverWindow(SaverWindowQt& saver, QScreen* screen)
      : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                             Qt::WindowDoesNotAcceptFocus),
        saver_(saver) {
    setScreen(screen);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    setMouseTracking(true);
    setCursor(Qt::BlankCursor);
    setGeometry(screen->geometry());
  }

 protected:
  void paintEvent(QPaintEvent* event) override {
    QPainter painter(this);
    painter.fillRect(event->rect(), Qt::black);
  }
  void keyPressEvent(QKeyEvent* event) override { saver_.DeliverKey(*event); }
  void mouseMoveEvent(QMouseEvent* event) override {
    saver_.DeliverMouseAt(event->globalPosition().toPoint(), event->buttons());
  }
  void closeEvent(QCloseEvent* event) override {
    event->ignore();
    saver_.DeliverUnload();
  }

 private:
  SaverWindowQt& saver_;
};

}  // namespace

std::vector<std::size_t> ScreensToCover(const QRect& saverArea,
                                        const std::vector<ScreenArea>& screens) {
  std::vector<std::size_t> chosen;
  for (std::size_t i = 0; i < screens.size(); ++i) {
    const ScreenArea& screen = screens[i];
    if (screen.area.isEmpty()) continue;
    if (screen.desktop == 0 && saverArea.contains(screen.area)) continue;
    bool covered = false;
    for (const std::size_t j : chosen)
      covered = covered || (screens[j].desktop == screen.desktop &&
                            screens[j].area.contains(screen.area));
    if (!covered) chosen.push_back(i);
  }
  return chosen;
}

CoverWindows::CoverWindows(SaverWindowQt& saver) : saver_(saver) {}
CoverWindows::~CoverWindows() = default;

void CoverWindows::Show(QScreen* saverScreen, const QRect& saverArea) {
  const QList<QScreen*> all = QGuiApplication::screens();
  const QList<QScreen*> siblings =
      saverScreen != nullptr ? saverScreen->virtualSiblings() : QList<QScreen*>();
  // A desktop is known by its first screen; the saver's desktop is 0.
  auto desktopOf = [&](QScreen* screen) {
    if (siblings.contains(screen)) return 0;
    const QList<QScreen*> itsSiblings = screen->virtualSiblings();
    for (qsizetype i = 0; i < all.size(); ++i)
      if (itsSiblings.contains(all[i])) return 1 + static_cast<int>(i);
    return 1 + static_cast<int>(all.indexOf(screen));
  };
  std::vector<ScreenArea> areas;
  for (QScreen* screen : all) areas.push_back({screen->geometry(), desktopOf(screen)});
  for (const std::size_t i : ScreensToCover(saverArea, areas)) {
    auto window = std::make_unique<CoverWindow>(saver_, all[static_cast<qsizetype>(i)]);
    window->showFullScreen();  // on its own screen, above a window manager's panels
    windows_.push_back(std::move(window));
  }
}

}  // namespace velun::qt
