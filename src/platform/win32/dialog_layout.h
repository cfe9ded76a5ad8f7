#pragma once
// The preferences dialog's controls as designed: kind, caption, place and size
// in twips (inside a frame: relative to that frame), listed in tab order, which
// is also the order in which they are created.
#include <array>

namespace velun::win32 {

// Control identifiers. OK is IDOK, so that Enter presses it; Cancel is not
// IDCANCEL, so that Esc presses nothing.
enum DialogControlId : int {
  kIdOk = 1,
  kIdFrame1 = 100,
  kIdImage1,
  kIdLabel2,
  kIdCmdFonts,
  kIdCmdColor,
  kIdLblTimeDelay,
  kIdTxtTimeDelay,
  kIdLabel1,
  kIdFrmVerseSelect,
  kIdLblVerseType,  // LblAnimation index 1
  kIdCmbVerseSelection,
  kIdFrmAnimation,
  kIdLblAnimationType,  // LblAnimation index 0
  kIdCmbAnimation,
  kIdLblAminSpeed,
  kIdSldrSpeed,
  kIdCancel,  // CmdResponse index 1
};

enum class ControlKind { Frame, Image, Label, Button, DefaultButton, TextBox, DropDownList, Slider };

struct ControlDesign {
  int id;
  ControlKind kind;
  const wchar_t* caption;
  int frame;  // the id of the frame it sits in, 0 for the dialog itself
  int left, top, width, height;  // twips; a label sizes itself to its caption
};

inline constexpr int kClientWidthTwips = 5232;
inline constexpr int kClientHeightTwips = 4344;
// A drop-down list's height comes from its font; this is the height of its open list.
inline constexpr int kDropDownListTwips = 3000;

inline constexpr std::array<ControlDesign, 18> kDialogDesign{{
    {kIdOk, ControlKind::DefaultButton, L"OK", 0, 4080, 3840, 975, 375},
    {kIdCmdFonts, ControlKind::Button, L"Fonts", 0, 240, 1080, 975, 375},
    {kIdCmdColor, ControlKind::Button, L"Font Color", 0, 1320, 1080, 975, 375},
    {kIdTxtTimeDelay, ControlKind::TextBox, L"", 0, 3540, 1140, 735, 315},
    {kIdCmbAnimation, ControlKind::DropDownList, L"", kIdFrmAnimation, 1380, 240, 3015,
     kDropDownListTwips},
    {kIdSldrSpeed, ControlKind::Slider, L"", kIdFrmAnimation, 1260, 720, 3252, 492},
    {kIdCancel, ControlKind::Button, L"Cancel", 0, 2880, 3840, 975, 375},
    {kIdFrmAnimation, ControlKind::Frame, L"Animation", 0, 180, 2340, 4875, 1332},
    {kIdLblAminSpeed, ControlKind::Label, L"Speed", kIdFrmAnimation, 360, 780, 468, 192},
    {kIdLblAnimationType, ControlKind::Label, L"Type", kIdFrmAnimation, 360, 300, 360, 192},
    {kIdLblTimeDelay, ControlKind::Label, L"Time Delay", 0, 2580, 1200, 795, 195},
    {kIdLabel1, ControlKind::Label, L"Seconds", 0, 4380, 1200, 630, 195},
    {kIdFrame1, ControlKind::Frame, L"", 0, 180, 0, 4875, 915},
    {kIdImage1, ControlKind::Image, L"", kIdFrame1, 120, 300, 384, 384},
    {kIdLabel2, ControlKind::Label, L"The Holy Velun Screen Saver ", kIdFrame1, 900, 180, 2190,
     195},
    {kIdFrmVerseSelect, ControlKind::Frame, L"Verse Selection", 0, 180, 1560, 4872, 732},
    {kIdCmbVerseSelection, ControlKind::DropDownList, L"", kIdFrmVerseSelect, 1380, 240, 3012,
     kDropDownListTwips},
    {kIdLblVerseType, ControlKind::Label, L"Type", kIdFrmVerseSelect, 360, 240, 360, 192},
}};

}  // namespace velun::win32
