#include "platform/qt/prefs/dialog_qt_controls.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QScreen>
#include <QSignalBlocker>

#include <cmath>

#include "startup/failure.h"

namespace velun::qt {

namespace {
constexpr qreal kTwipsPerInch = 1440;
}  // namespace

int TwipsToPixels(int twips, qreal dpi) {
  return static_cast<int>(std::lround(twips * dpi / kTwipsPerInch));
}

qreal PrimaryScreenDpi() {
  const QScreen* screen = QGuiApplication::primaryScreen();
  const qreal dpi = screen != nullptr ? screen->logicalDotsPerInch() : 0;
  return dpi > 0 ? dpi : 96;
}

// ---------------------------------------------------------------------------
// The dialog window

float DialogWindowQt::PixelsToTwips(int pixels) const {
  return static_cast<float>(pixels * kTwipsPerInch / dpi_);
}

float DialogWindowQt::ScreenWidth() const {
  const QScreen* screen = QGuiApplication::primaryScreen();
  return screen != nullptr ? PixelsToTwips(screen->geometry().width()) : 0;
}

float DialogWindowQt::ScreenHeight() const {
  const QScreen* screen = QGuiApplication::primaryScreen();
  return screen != nullptr ? PixelsToTwips(screen->geometry().height()) : 0;
}

// The frame is known only once a window manager has framed the window; before
// that the outer size is the client size.
float DialogWindowQt::Width() const { return PixelsToTwips(window_->frameGeometry().width()); }

float DialogWindowQt::Height() const { return PixelsToTwips(window_->frameGeometry().height()); }

void DialogWindowQt::Move(std::int32_t left, std::int32_t top) {
  // Screen places count from the primary screen's top-left corner.
  const QScreen* screen = QGuiApplication::primaryScreen();
  const QPoint origin = screen != nullptr ? screen->geometry().topLeft() : QPoint();
  window_->move(origin + QPoint(TwipsToPixels(left, dpi_), TwipsToPixels(top, dpi_)));
}

// ---------------------------------------------------------------------------
// The pick-only lists

void ComboDropDownListQt::AddItem(const std::string& text) {
  combo_->addItem(QString::fromStdString(text));
}

void ComboDropDownListQt::SetItemData(std::int32_t position, std::int32_t data) {
  if (position < 0 || position >= Count()) RaiseSubscriptOutOfRange();
  combo_->setItemData(position, data);
}

void ComboDropDownListQt::SetSelectedIndex(std::int32_t position) {
  if (position != -1 && (position < 0 || position >= Count())) RaiseSubscriptOutOfRange();
  combo_->setCurrentIndex(position);
}

std::int32_t ComboDropDownListQt::SelectedIndex() const { return combo_->currentIndex(); }

std::int32_t ComboDropDownListQt::Count() const { return combo_->count(); }

std::int32_t ComboDropDownListQt::SelectedItemData() const {
  const int selected = combo_->currentIndex();
  if (selected < 0) RaiseSubscriptOutOfRange();
  return combo_->itemData(selected).toInt();
}

// ---------------------------------------------------------------------------
// The time-delay box

std::string LineEditTextBox::Text() const { return edit_->text().toStdString(); }

void LineEditTextBox::SetText(const std::string& text) {
  edit_->setText(QString::fromStdString(text));
}

// ---------------------------------------------------------------------------
// The speed slider

TrackBarLikeSlider::TrackBarLikeSlider(QWidget* parent) : QSlider(Qt::Horizontal, parent) {
  setTickPosition(QSlider::TicksBelow);
}

void TrackBarLikeSlider::keyPressEvent(QKeyEvent* event) {
  // Qt moves a slider up on Up and Page Up; a track bar moves down on them.
  SliderAction action = SliderNoAction;
  if (event->modifiers() == Qt::NoModifier || event->modifiers() == Qt::KeypadModifier) {
    switch (event->key()) {
      case Qt::Key_Up:
        action = SliderSingleStepSub;
        break;
      case Qt::Key_Down:
        action = SliderSingleStepAdd;
        break;
      case Qt::Key_PageUp:
        action = SliderPageStepSub;
        break;
      case Qt::Key_PageDown:
        action = SliderPageStepAdd;
        break;
      default:
        break;
    }
  }
  if (action == SliderNoAction) {
    QSlider::keyPressEvent(event);
    return;
  }
  triggerAction(action);
  event->accept();
}

std::int32_t QSliderSlider::Value() const { return slider_->value(); }

void QSliderSlider::SetValue(std::int32_t value) {
  // Only the user's moves reach SldrSpeed_Change.
  const QSignalBlocker quiet(slider_);
  slider_->setValue(value);
}

void QSliderSlider::SetRange(std::int32_t min, std::int32_t max) {
  const QSignalBlocker quiet(slider_);
  slider_->setRange(min, max);
}

void QSliderSlider::SetSmallChange(std::int32_t step) { slider_->setSingleStep(step); }

void QSliderSlider::SetLargeChange(std::int32_t step) { slider_->setPageStep(step); }

void QSliderSlider::SetTickFrequency(std::int32_t every) { slider_->setTickInterval(every); }

// ---------------------------------------------------------------------------
// The numeric test

std::optional<double> QLocaleNumberParser::Parse(std::string_view text) const {
  bool ok = false;
  // Blanks around the number are allowed; the parser trims them itself.
  const double value =
      locale_.toDouble(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())), &ok);
  if (!ok || !std::isfinite(value)) return std::nullopt;
  return value;
}

}  // namespace velun::qt
