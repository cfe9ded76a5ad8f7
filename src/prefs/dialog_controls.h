#pragma once
// What the preferences dialog needs of the platform's controls. Positions and
// sizes are in twips, text in UTF-8. Each interface holds only what the dialog
// calls; the front end creates the controls with their captions, positions and
// tab order and hands them to frmConfig.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace velun {

// The dialog window itself.
class DialogWindow {
 public:
  virtual ~DialogWindow() = default;
  // The whole screen, in twips.
  virtual float ScreenWidth() const = 0;
  virtual float ScreenHeight() const = 0;
  // The dialog's outer size (border and caption included), in twips.
  virtual float Width() const = 0;
  virtual float Height() const = 0;
  // Places the dialog's outer top-left corner on the screen, in whole twips.
  virtual void Move(std::int32_t left, std::int32_t top) = 0;
};

// A pick-only drop-down list whose entries carry a number as item data.
// Positions count from 0; entries stay in the order they were added.
class DropDownList {
 public:
  virtual ~DropDownList() = default;
  virtual void AddItem(const std::string& text) = 0;
  virtual void SetItemData(std::int32_t position, std::int32_t data) = 0;
  virtual void SetSelectedIndex(std::int32_t position) = 0;
  // The selected position, -1 when nothing is selected.
  virtual std::int32_t SelectedIndex() const = 0;
  virtual std::int32_t Count() const = 0;
  // The item data of the selected entry; only asked while an entry is selected.
  virtual std::int32_t SelectedItemData() const = 0;
};

// A single-line text box.
class TextBox {
 public:
  virtual ~TextBox() = default;
  virtual std::string Text() const = 0;
  virtual void SetText(const std::string& text) = 0;
};

// A horizontal slider. Setting its value from the program raises no change
// event; the front end reports the user's moves by calling SldrSpeed_Change.
class Slider {
 public:
  virtual ~Slider() = default;
  virtual std::int32_t Value() const = 0;
  virtual void SetValue(std::int32_t value) = 0;
  virtual void SetRange(std::int32_t min, std::int32_t max) = 0;
  virtual void SetSmallChange(std::int32_t step) = 0;  // arrow keys
  virtual void SetLargeChange(std::int32_t step) = 0;  // page keys
  virtual void SetTickFrequency(std::int32_t every) = 0;
};

// The font fields of the common-dialog component.
struct FontChoice {
  std::string FontName;
  float FontSize = 0;
  bool FontBold = false;
  bool FontItalic = false;
  bool FontUnderline = false;
  bool FontStrikethru = false;
};

// Published chooser flags of the platform.
inline constexpr std::int32_t kColorRgbInit = 0x1;          // CC_RGBINIT
inline constexpr std::int32_t kFontScreenFonts = 0x1;       // CF_SCREENFONTS
inline constexpr std::int32_t kFontEffects = 0x100;         // CF_EFFECTS
inline constexpr std::int32_t kFontLimitSize = 0x2000;      // CF_LIMITSIZE
inline constexpr std::int32_t kFontForceFontExist = 0x10000;// CF_FORCEFONTEXIST

// The common-dialog component: modal colour and font choosers. Each returns the
// confirmed choice, or nothing when the user cancelled. A chooser that cannot be
// prepared or shown raises a Failure (or any std::exception); the dialog treats
// that like a cancel.
class CommonDialog {
 public:
  virtual ~CommonDialog() = default;
  // Opens with color selected when flags hold kColorRgbInit.
  virtual std::optional<std::int32_t> ShowColor(std::int32_t flags, std::int32_t color) = 0;
  // Opens on start; with kFontLimitSize only sizes from min to max are accepted.
  virtual std::optional<FontChoice> ShowFont(std::int32_t flags, std::int16_t min,
                                             std::int16_t max, const FontChoice& start) = 0;
};

// The numeric test of the time delay: whether the whole text (blanks around it
// allowed) is a number as the user's locale writes numbers, and its value.
class NumberParser {
 public:
  virtual ~NumberParser() = default;
  virtual std::optional<double> Parse(std::string_view text) const = 0;
};

}  // namespace velun
