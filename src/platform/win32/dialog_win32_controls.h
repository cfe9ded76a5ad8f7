#pragma once
// The preferences dialog's controls on Windows, as the core's dialog interfaces.
// Implemented:
//  [X] DialogWindow: screen and outer size in twips at the dialog's DPI; Move
//  [X] DropDownList: a CBS_DROPDOWNLIST combo box with item data
//  [X] TextBox: a single-line edit control (UTF-8 <-> UTF-16)
//  [X] Slider: a horizontal msctls_trackbar32; setting its position raises no event
//  [X] NumberParser: VarR8FromStr in the user's locale
#include <windows.h>

#include "prefs/dialog_controls.h"

namespace velun::win32 {

// Twips to pixels at a DPI, rounded to the nearest pixel.
int TwipsToPixels(int twips, int dpi);

class DialogWindowWin32 : public DialogWindow {
 public:
  DialogWindowWin32(HWND window, int dpi) : window_(window), dpi_(dpi) {}
  float ScreenWidth() const override;
  float ScreenHeight() const override;
  float Width() const override;
  float Height() const override;
  void Move(std::int32_t left, std::int32_t top) override;

 private:
  float PixelsToTwips(int pixels) const;

  HWND window_;
  int dpi_;
};

class ComboDropDownList : public DropDownList {
 public:
  explicit ComboDropDownList(HWND combo) : combo_(combo) {}
  void AddItem(const std::string& text) override;
  void SetItemData(std::int32_t position, std::int32_t data) override;
  void SetSelectedIndex(std::int32_t position) override;
  std::int32_t SelectedIndex() const override;
  std::int32_t Count() const override;
  std::int32_t SelectedItemData() const override;

 private:
  HWND combo_;
};

class EditTextBox : public TextBox {
 public:
  explicit EditTextBox(HWND edit) : edit_(edit) {}
  std::string Text() const override;
  void SetText(const std::string& text) override;

 private:
  HWND edit_;
};

class TrackBarSlider : public Slider {
 public:
  explicit TrackBarSlider(HWND trackBar) : trackBar_(trackBar) {}
  std::int32_t Value() const override;
  void SetValue(std::int32_t value) override;
  void SetRange(std::int32_t min, std::int32_t max) override;
  void SetSmallChange(std::int32_t step) override;
  void SetLargeChange(std::int32_t step) override;
  void SetTickFrequency(std::int32_t every) override;

 private:
  HWND trackBar_;
};

// Whether the text is a number as the user's locale writes it (the parser that
// Windows programs share), and its value.
class VariantNumberParser : public NumberParser {
 public:
  std::optional<double> Parse(std::string_view text) const override;
};

}  // namespace velun::win32
