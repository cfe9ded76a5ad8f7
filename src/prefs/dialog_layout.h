#pragma once
// The preferences dialog's controls as designed: name, kind, caption, place and
// size in twips (inside a frame: relative to that frame), listed in tab order,
// which is also the order in which a front end creates them. Every front end
// builds its dialog from this one table.
#include <array>

namespace velun {

// Control identifiers. OK is 1 and Cancel is not 2: on a platform whose dialogs
// bind Enter to control 1 and Esc to control 2, Enter presses OK and Esc nothing.
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
  const char* name;  // the control's name; an indexed control carries its index
  ControlKind kind;
  const char* caption;  // UTF-8
  int frame;  // the id of the frame it sits in, 0 for the dialog itself
  int left, top, width, height;  // twips; a label sizes itself to its caption
};

inline constexpr const char* kDialogCaption = "Velun Saver Preferences";
inline constexpr int kClientWidthTwips = 5232;
inline constexpr int kClientHeightTwips = 4344;
// A drop-down list's height comes from its font; this is the height of its open list.
inline constexpr int kDropDownListTwips = 3000;

inline constexpr std::array<ControlDesign, 18> kDialogDesign{{
    {kIdOk, "OK", ControlKind::DefaultButton, "OK", 0, 4080, 3840, 975, 375},
    {kIdCmdFonts, "CmdFonts", ControlKind::Button, "Fonts", 0, 240, 1080, 975, 375},
    {kIdCmdColor, "cmdColor", ControlKind::Button, "Font Color", 0, 1320, 1080, 975, 375},
    {kIdTxtTimeDelay, "TxtTimeDelay", ControlKind::TextBox, "", 0, 3540, 1140, 735, 315},
    {kIdCmbAnimation, "cmbAnimation", ControlKind::DropDownList, "", kIdFrmAnimation, 1380, 240,
     3015, kDropDownListTwips},
    {kIdSldrSpeed, "SldrSpeed", ControlKind::Slider, "", kIdFrmAnimation, 1260, 720, 3252, 492},
    {kIdCancel, "CmdResponse1", ControlKind::Button, "Cancel", 0, 2880, 3840, 975, 375},
    {kIdFrmAnimation, "frmAnimation", ControlKind::Frame, "Animation", 0, 180, 2340, 4875, 1332},
    {kIdLblAminSpeed, "LblAminSpeed", ControlKind::Label, "Speed", kIdFrmAnimation, 360, 780, 468,
     192},
    {kIdLblAnimationType, "LblAnimation0", ControlKind::Label, "Type", kIdFrmAnimation, 360, 300,
     360, 192},
    {kIdLblTimeDelay, "lblTimeDelay", ControlKind::Label, "Time Delay", 0, 2580, 1200, 795, 195},
    {kIdLabel1, "Label1", ControlKind::Label, "Seconds", 0, 4380, 1200, 630, 195},
    {kIdFrame1, "Frame1", ControlKind::Frame, "", 0, 180, 0, 4875, 915},
    {kIdImage1, "Image1", ControlKind::Image, "", kIdFrame1, 120, 300, 384, 384},
    {kIdLabel2, "Label2", ControlKind::Label, "The Holy Velun Screen Saver ", kIdFrame1, 900, 180,
     2190, 195},
    {kIdFrmVerseSelect, "frmVerseSelect", ControlKind::Frame, "Verse Selection", 0, 180, 1560,
     4872, 732},
    {kIdCmbVerseSelection, "cmbVerseSelection", ControlKind::DropDownList, "", kIdFrmVerseSelect,
     1380, 240, 3012, kDropDownListTwips},
    {kIdLblVerseType, "LblAnimation1", ControlKind::Label, "Type", kIdFrmVerseSelect, 360, 240, 360,
     192},
}};

}  // namespace velun
