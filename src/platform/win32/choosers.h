#pragma once
// The common-dialog component on Windows: the system's colour and font choosers.
// Implemented:
//  [X] ShowColor: ChooseColorW, modal over the owner, opening on the given colour
//      (CC_RGBINIT); 16 custom colours kept for the life of the process
//  [X] ShowFont: ChooseFontW, modal over the owner, opening on the given face,
//      size, bold, italic, underline and strike-through, sizes limited as asked
//  [X] The user's Cancel answers nothing; a chooser that fails to open raises
//      failure 5, which the dialog treats as a cancel
#include <windows.h>

#include "prefs/dialog_controls.h"

namespace velun::win32 {

class SystemChoosers : public CommonDialog {
 public:
  explicit SystemChoosers(HWND owner) : owner_(owner) {}
  std::optional<std::int32_t> ShowColor(std::int32_t flags, std::int32_t color) override;
  std::optional<FontChoice> ShowFont(std::int32_t flags, std::int16_t min, std::int16_t max,
                                     const FontChoice& start) override;

 private:
  HWND owner_;
};

// The LOGFONT height of a point size on a screen of this many pixels per inch.
LONG FontHeightForPoints(float points, int pixelsPerInch);

}  // namespace velun::win32
