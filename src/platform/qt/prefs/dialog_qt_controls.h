#pragma once
// The preferences dialog's controls in Qt Widgets, as the core's dialog interfaces.
// Implemented:
//  [X] Twips to pixels at the screen's logical DPI (1440 twips an inch)
//  [X] DialogWindow: the primary screen and the dialog's outer size in twips; Move
//  [X] DropDownList: a pick-only QComboBox with the codes as item data
//  [X] TextBox: a QLineEdit (UTF-8 <-> QString)
//  [X] Slider: a horizontal QSlider with ticks below; a value set by the program
//      raises no change; the keys move it as a track bar's do (Up and Page Up down)
//  [X] NumberParser: QLocale's number parser for the user's locale
//  [ ] The choosers live in qt_choosers.h
#include <QComboBox>
#include <QLineEdit>
#include <QLocale>
#include <QSlider>
#include <QWidget>

#include "prefs/dialog_controls.h"

namespace velun::qt {

// Twips to pixels at a DPI, rounded to the nearest pixel.
int TwipsToPixels(int twips, qreal dpi);
// The logical DPI of the primary screen (96 when there is none).
qreal PrimaryScreenDpi();

class DialogWindowQt : public DialogWindow {
 public:
  DialogWindowQt(QWidget* window, qreal dpi) : window_(window), dpi_(dpi) {}
  float ScreenWidth() const override;
  float ScreenHeight() const override;
  float Width() const override;
  float Height() const override;
  void Move(std::int32_t left, std::int32_t top) override;

 private:
  float PixelsToTwips(int pixels) const;

  QWidget* window_;
  qreal dpi_;
};

class ComboDropDownListQt : public DropDownList {
 public:
  explicit ComboDropDownListQt(QComboBox* combo) : combo_(combo) {}
  void AddItem(const std::string& text) override;
  void SetItemData(std::int32_t position, std::int32_t data) override;
  void SetSelectedIndex(std::int32_t position) override;
  std::int32_t SelectedIndex() const override;
  std::int32_t Count() const override;
  std::int32_t SelectedItemData() const override;

 private:
  QComboBox* combo_;
};

class LineEditTextBox : public TextBox {
 public:
  explicit LineEditTextBox(QLineEdit* edit) : edit_(edit) {}
  std::string Text() const override;
  void SetText(const std::string& text) override;

 private:
  QLineEdit* edit_;
};

// A horizontal slider that takes its keys as a Windows track bar does: Left and
// Up move it down by the small change, Right and Down up; Page Up down by the
// large change, Page Down up; Home and End to the ends.
class TrackBarLikeSlider : public QSlider {
 public:
  explicit TrackBarLikeSlider(QWidget* parent);

 protected:
  void keyPressEvent(QKeyEvent* event) override;
};

class QSliderSlider : public Slider {
 public:
  explicit QSliderSlider(QSlider* slider) : slider_(slider) {}
  std::int32_t Value() const override;
  void SetValue(std::int32_t value) override;
  void SetRange(std::int32_t min, std::int32_t max) override;
  void SetSmallChange(std::int32_t step) override;
  void SetLargeChange(std::int32_t step) override;
  void SetTickFrequency(std::int32_t every) override;

 private:
  QSlider* slider_;
};

// Whether the whole text is a number as the locale writes it, and its value. The
// default is the user's locale (QLocale::system(), unless the program set another).
class QLocaleNumberParser : public NumberParser {
 public:
  explicit QLocaleNumberParser(QLocale locale = QLocale()) : locale_(std::move(locale)) {}
  std::optional<double> Parse(std::string_view text) const override;

 private:
  QLocale locale_;
};

}  // namespace velun::qt
