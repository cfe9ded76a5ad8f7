#include "platform/qt/saver_window.h"

#include <QApplication>
#include <QCursor>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QTimer>
#include <QWindow>
#include <cmath>

#include "platform/qt/cover_windows.h"
#include "platform/qt/key_codes.h"

namespace velun::qt {
namespace {

constexpr char kWindowCaption[] = "Velun Saver";

QFont VerseLabelFont() {
  QFont font("Traditional Arabic");
  font.setPointSizeF(16.2);
  return font;
}

QScreen* PrimaryScreen() { return QGuiApplication::primaryScreen(); }

}  // namespace

// The widget that shows the saver: it paints from the window's state and hands
// every input to the window's one place for it.
class SaverWindowQt::Surface : public QWidget {
 public:
  Surface(SaverWindowQt& owner, SaverPlacement::Kind kind)
      : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint | StackingFlags(kind)),
        owner_(owner) {
    setWindowTitle(kWindowCaption);
    // Every pixel of an update is painted from the window's state: nothing to erase.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
  }

 protected:
  bool event(QEvent* event) override {
    // Every key goes to the saver, Tab included (no focus chain here).
    if (event->type() == QEvent::KeyPress) {
      owner_.DeliverKey(*static_cast<QKeyEvent*>(event));
      return true;
    }
    if (event->type() == QEvent::ShortcutOverride) {
      event->accept();
      return true;
    }
    return QWidget::event(event);
  }
  void paintEvent(QPaintEvent* event) override {
    QPainter painter(this);
    owner_.Paint(painter, event->rect());
  }
  void mouseMoveEvent(QMouseEvent* event) override {
    owner_.DeliverMouseAt(event->globalPosition().toPoint(), event->buttons());
  }
  void closeEvent(QCloseEvent* event) override {
    event->ignore();  // the unload ends the process itself
    owner_.DeliverUnload();
  }

 private:
  static Qt::WindowFlags StackingFlags(SaverPlacement::Kind kind) {
    switch (kind) {
      case SaverPlacement::Kind::kOwnFullScreen:
        return Qt::WindowStaysOnTopHint;
      case SaverPlacement::Kind::kRootWindow:
        // As if drawn on the root window: under every other window, unmanaged.
        return Qt::WindowStaysOnBottomHint | Qt::BypassWindowManagerHint;
      case SaverPlacement::Kind::kForeignWindow:
        break;  // a child window: its parent's place in the stack
    }
    return {};
  }

  SaverWindowQt& owner_;
};

// ---------------------------------------------------------------------------
// Labels

DrawnLabel::DrawnLabel(SaverWindowQt& owner, Style style, const QFont& font)
    : QtFontHolder<velun::Label>(font), owner_(owner), style_(style) {
  Layout();
}

template <typename Mutation>
void DrawnLabel::Repaint(Mutation mutation) {
  const QRect before = PaintedRect();
  mutation();
  owner_.Repaint(before.united(PaintedRect()));
}

void DrawnLabel::Layout() {
  block_ = TextBlock(caption_, font_, owner_.Widget(),
                     style_ == Style::Verse ? Qt::RightToLeft : Qt::LeftToRight);
}

void DrawnLabel::SetCaption(const std::string& caption) {
  Repaint([&] {
    caption_ = caption;
    Layout();
  });
}

void DrawnLabel::FontChanged() {
  Repaint([&] { Layout(); });
}

float DrawnLabel::Width() const {
  if (style_ == Style::Notice) return static_cast<float>(fixedWidth_);
  return owner_.PixelsToTwips(block_.Width());
}

float DrawnLabel::Height() const {
  if (style_ == Style::Notice) return static_cast<float>(fixedHeight_);
  return owner_.PixelsToTwips(block_.Height());
}

void DrawnLabel::Move(std::int32_t left, std::int32_t top) {
  Repaint([&] {
    left_ = left;
    top_ = top;
  });
}

void DrawnLabel::SetForeColor(std::int32_t color) {
  // The colour's low byte is red, then green, then blue.
  Repaint([&] { color_ = QColor(color & 0xFF, (color >> 8) & 0xFF, (color >> 16) & 0xFF); });
}

void DrawnLabel::SetVisible(bool visible) {
  if (visible_ == visible) return;
  Repaint([&] { visible_ = visible; });
}

void DrawnLabel::SetFontCharset(int /*charset*/) {
  // Fonts on Linux have no character sets: fontconfig picks a face that has the
  // characters of the text.
}

void DrawnLabel::SetBounds(std::int32_t left, std::int32_t top, std::int32_t width,
                           std::int32_t height) {
  Repaint([&] {
    left_ = left;
    top_ = top;
    fixedWidth_ = width;
    fixedHeight_ = height;
  });
}

QRect DrawnLabel::PaintedRect() const {
  if (!visible_) return {};
  const int left = owner_.TwipsToWholePixels(left_);
  const int top = owner_.TwipsToWholePixels(top_);
  if (style_ == Style::Notice) {
    const int width = std::max(owner_.TwipsToWholePixels(fixedWidth_),
                               static_cast<int>(std::ceil(block_.Width())));
    const int height = std::max(owner_.TwipsToWholePixels(fixedHeight_),
                                static_cast<int>(std::ceil(block_.Height())));
    return {left, top, width, height};
  }
  if (block_.LineCount() == 0) return {};
  // Ink may reach past the advance box: side bearings, marks above and below the
  // line, an italic's slant. A third of a line all round holds them.
  const int margin = static_cast<int>(std::ceil(block_.LineHeight() / 3)) + 2;
  return QRect(left, top, static_cast<int>(std::ceil(block_.Width())),
               static_cast<int>(std::ceil(block_.Height())))
      .adjusted(-margin, -margin, margin, margin);
}

void DrawnLabel::Paint(QPainter& painter) const {
  const QRect area = PaintedRect();
  if (area.isEmpty()) return;
  const QPointF topLeft(owner_.TwipsToWholePixels(left_), owner_.TwipsToWholePixels(top_));
  if (style_ == Style::Notice) {
    // The notice in the application's colours; a font wider than its bounds widens
    // it rather than cutting the text off.
    const QPalette palette = QApplication::palette();
    painter.fillRect(area, palette.color(QPalette::Window));
    painter.setPen(palette.color(QPalette::WindowText));
  } else {
    painter.setPen(color_);
  }
  block_.Draw(painter, topLeft);
}

// ---------------------------------------------------------------------------
// The window

SaverWindowQt::SaverWindowQt(SaverPlacement placement)
    : QtFontHolder<velun::SaverWindow>(VerseLabelFont()), placement_(placement) {
  if (QScreen* screen = PrimaryScreen()) dpi_ = screen->logicalDotsPerInchY();
  if (dpi_ <= 0) dpi_ = 96;
  surface_ = std::make_unique<Surface>(*this, placement_.kind);
  if (placement_.kind == SaverPlacement::Kind::kForeignWindow) {
    foreignParent_.reset(QWindow::fromWinId(placement_.foreignWindow));
    surface_->winId();  // makes the native window that is parented
    surface_->windowHandle()->setParent(foreignParent_.get());
  }
  surface_->setGeometry(ScreenRect());
  label1_ = std::make_unique<DrawnLabel>(*this, DrawnLabel::Style::Verse, VerseLabelFont());
  frozenLabel_ =
      std::make_unique<DrawnLabel>(*this, DrawnLabel::Style::Notice, QApplication::font());
  timer1_ = std::make_unique<QtTimer>([this] { Deliver(handlers_.timer1); });
  timer2_ = std::make_unique<QtTimer>([this] { Deliver(handlers_.timer2); });
}

SaverWindowQt::~SaverWindowQt() {
  covers_.reset();
  timer1_.reset();
  timer2_.reset();
}

QWidget* SaverWindowQt::Widget() const { return surface_.get(); }

QRect SaverWindowQt::ScreenRect() const {
  // A window of another program is the saver's whole screen, at (0, 0) inside it.
  if (placement_.kind == SaverPlacement::Kind::kForeignWindow)
    return QRect(QPoint(0, 0), placement_.foreignSize);
  QScreen* screen = PrimaryScreen();
  if (screen == nullptr) return QRect(0, 0, 640, 480);
  return placement_.kind == SaverPlacement::Kind::kRootWindow ? screen->virtualGeometry()
                                                              : screen->geometry();
}

float SaverWindowQt::ScreenWidth() const { return PixelsToTwips(ScreenRect().width()); }
float SaverWindowQt::ScreenHeight() const { return PixelsToTwips(ScreenRect().height()); }

int SaverWindowQt::TwipsToWholePixels(double twips) const {
  return static_cast<int>(std::lround(TwipsToPixels(twips)));
}

void SaverWindowQt::MoveAndSize(float left, float top, float width, float height) {
  // The saver's (0, 0) is the top-left corner of the screen it covers.
  const QPoint origin = ScreenRect().topLeft();
  surface_->setGeometry(origin.x() + TwipsToWholePixels(left),
                        origin.y() + TwipsToWholePixels(top), TwipsToWholePixels(width),
                        TwipsToWholePixels(height));
}

void SaverWindowQt::Clear() {
  // Nothing is drawn on the window but its two labels, which stay: there is
  // nothing to erase.
}

float SaverWindowQt::MeasureText(const std::string& text) const {
  return PixelsToTwips(TextWidth(text, font_, surface_.get(), Qt::RightToLeft));
}

void SaverWindowQt::Repaint(const QRect& area) const {
  if (surface_ && !area.isEmpty()) surface_->update(area);
}

void SaverWindowQt::Paint(QPainter& painter, const QRect& area) const {
  painter.fillRect(area, Qt::black);
  if (label1_ && label1_->PaintedRect().intersects(area)) label1_->Paint(painter);
  if (frozenLabel_ && frozenLabel_->PaintedRect().intersects(area)) frozenLabel_->Paint(painter);
}

void SaverWindowQt::Show() {
  if (placement_.kind != SaverPlacement::Kind::kOwnFullScreen) {
    // A display mode: the program that runs it owns the keyboard, the pointer and
    // the other screens.
    surface_->show();
    if (placement_.kind == SaverPlacement::Kind::kRootWindow) surface_->lower();
    return;
  }
  // Full screen also for a window manager (above its panels) and for a Wayland
  // compositor, which places windows itself; without either it is the same size.
  surface_->showFullScreen();
  surface_->raise();
  surface_->activateWindow();
  surface_->setFocus();
  covers_ = std::make_unique<CoverWindows>(*this);
  covers_->Show(PrimaryScreen(), ScreenRect());

  // The keys and the pointer belong to the saver while it runs. The grab can only
  // be taken once the window is mapped: try again for a while until it is.
  auto grab = std::make_shared<std::function<void(int)>>();
  *grab = [this, grab](int triesLeft) {
    QWindow* window = surface_->windowHandle();
    const bool grabbed = window != nullptr && window->setKeyboardGrabEnabled(true) &&
                         window->setMouseGrabEnabled(true);
    if (!grabbed && triesLeft > 0)
      QTimer::singleShot(50, surface_.get(), [grab, triesLeft] { (*grab)(triesLeft - 1); });
  };
  (*grab)(40);

  // Windows reports the pointer's place to a window that appears under it; the
  // saver takes that first report as the place that a movement is measured from.
  DeliverMouseAt(QCursor::pos(), QGuiApplication::mouseButtons());
}

bool SaverWindowQt::Deliver(const std::function<void()>& handler) {
  // Handlers run one at a time: a message box inside one runs an event loop, and
  // nothing may reach the saver from there.
  if (inHandler_ || !handler) return false;
  inHandler_ = true;
  handler();
  inHandler_ = false;
  return true;
}

void SaverWindowQt::DeliverKey(const QKeyEvent& event) {
  if (!placement_.inputEnds) return;
  const std::int16_t keyCode = VirtualKeyCode(event);
  const std::int16_t shift = ShiftState(event.modifiers());
  Deliver([&] {
    if (handlers_.keyDown) handlers_.keyDown(keyCode, shift);
  });
}

void SaverWindowQt::DeliverMouseAt(const QPoint& globalPosition, Qt::MouseButtons buttons) {
  if (!placement_.inputEnds) return;
  // The saver sees positions relative to its own window, in twips.
  const QPoint local = globalPosition - surface_->geometry().topLeft();
  std::int16_t button = 0;
  if (buttons & Qt::LeftButton) button |= 1;
  if (buttons & Qt::RightButton) button |= 2;
  if (buttons & Qt::MiddleButton) button |= 4;
  const std::int16_t shift = ShiftState(QGuiApplication::keyboardModifiers());
  const float x = PixelsToTwips(local.x());
  const float y = PixelsToTwips(local.y());
  Deliver([&] {
    if (handlers_.mouseMove) handlers_.mouseMove(button, shift, x, y);
  });
}

bool SaverWindowQt::DeliverUnload() {
  return Deliver([&] {
    if (handlers_.unload) handlers_.unload();
  });
}

}  // namespace velun::qt
