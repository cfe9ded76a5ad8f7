#include "platform/qt/cover_windows.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include "platform/qt/saver_window.h"

namespace velun::qt {
namespace {

class CoverWindow : public QWidget {
 public:
  CoverWindow(SaverWindowQt& saver, const QRect& area)
      : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                             Qt::WindowDoesNotAcceptFocus),
        saver_(saver) {
    setWindowTitle("Velun Saver");
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    setMouseTracking(true);
    setCursor(Qt::BlankCursor);
    setGeometry(area);
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

std::vector<QRect> CoverAreas(const QRect& saverArea, const std::vector<QRect>& screens) {
  std::vector<QRect> areas;
  for (const QRect& screen : screens) {
    if (screen.isEmpty() || saverArea.contains(screen)) continue;
    bool known = false;
    for (const QRect& area : areas) known = known || area.contains(screen);
    if (!known) areas.push_back(screen);
  }
  return areas;
}

CoverWindows::CoverWindows(SaverWindowQt& saver) : saver_(saver) {}
CoverWindows::~CoverWindows() = default;

void CoverWindows::Show(const std::vector<QRect>& areas) {
  for (const QRect& area : areas) {
    auto window = std::make_unique<CoverWindow>(saver_, area);
    window->show();
    windows_.push_back(std::move(window));
  }
}

}  // namespace velun::qt
