#pragma once
// The common-dialog component in Qt: QColorDialog and QFontDialog.
// Implemented:
//  [X] ShowColor: a QColorDialog modal over the preferences dialog, opening on the
//      given colour (red in the low byte); its Cancel answers nothing
//  [X] ShowFont: a QFontDialog modal over the preferences dialog, opening on the
//      face the given name is drawn with (a substitute or fontconfig's choice when
//      the name is not installed), size, bold, italic, underline and strike-through
//  [X] Size limits: Qt's font dialog has none of its own, so OK with a size outside
//      the limits is refused with a message and the chooser stays open
//  [X] Both Qt's own dialogs (not a desktop's), so that they behave alike everywhere
//  [ ] The colour and font choosers' custom colours and sample text are not kept
#include <QFontDialog>
#include <QWidget>

#include "prefs/dialog_controls.h"

namespace velun::qt {

inline constexpr const char* kFontChooserTitle = "Font";
inline constexpr const char* kColorChooserTitle = "Color";

// The font chooser with the size limits of CF_LIMITSIZE.
class LimitedFontDialog : public QFontDialog {
 public:
  LimitedFontDialog(QWidget* parent, qreal minSize, qreal maxSize, bool limitSize);
  void done(int result) override;

 private:
  qreal minSize_;
  qreal maxSize_;
  bool limitSize_;
};

// "Size must be between 8 and 48 points."
QString FontSizeLimitsMessage(qreal minSize, qreal maxSize);

class QtChoosers : public CommonDialog {
 public:
  explicit QtChoosers(QWidget* owner) : owner_(owner) {}
  std::optional<std::int32_t> ShowColor(std::int32_t flags, std::int32_t color) override;
  std::optional<FontChoice> ShowFont(std::int32_t flags, std::int16_t min, std::int16_t max,
                                     const FontChoice& start) override;

 private:
  QWidget* owner_;
};

}  // namespace velun::qt
