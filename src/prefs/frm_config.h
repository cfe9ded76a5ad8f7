#pragma once
// The preferences dialog: shows the settings, lets the lists, the slider and
// the font and colour choosers change them in the settings record, checks the
// time delay on OK, and saves the settings and ends the program however it is
// closed. The front end creates the controls, hands them in, and passes every
// event to the handler of the same name; a failure that escapes a handler is
// the front end's to report (RunHandler in saver/run_handler.h does that).
#include <array>
#include <cstdint>

#include "prefs/dialog_controls.h"
#include "startup/program.h"
#include "startup/settings.h"
#include "startup/system.h"

namespace velun {

inline constexpr const char* kTimeDelayWarning =
    "The Time delay is in the range of 1 to 60 seconds";

struct ListEntry {
  const char* text;
  std::int16_t code;
};

// The lists, in the order their entries are added; the code is the item data.
inline constexpr std::array<ListEntry, 3> kVerseSelectionEntries{{
    {"From Begining to End", kFromBeginingToEnd},
    {"Random Chapter", kRandomChapter},
    {"Random Verse", kRandomVerse},
}};
inline constexpr std::array<ListEntry, 6> kAnimationEntries{{
    {"Slide From Top", kSlideFromTop},
    {"Slide From Bottom", kSlideFromBottom},
    {"Slide From Left", kSlideFromLeft},
    {"Slide From Right", kSlideFromRight},
    {"Pop on Screen", kPopOnScreen},
    {"Random Animation", kRandomAnimation},
}};

// The speed slider as designed: 0 to 1000, arrows 100, page keys 200, a tick every 100.
inline constexpr std::int32_t kSpeedMin = 0;
inline constexpr std::int32_t kSpeedMax = 1000;
inline constexpr std::int32_t kSpeedSmallChange = 100;
inline constexpr std::int32_t kSpeedLargeChange = 200;
inline constexpr std::int32_t kSpeedTickFrequency = 100;

inline constexpr std::int32_t kColorFlags = kColorRgbInit;  // 1
inline constexpr std::int32_t kFontFlags =
    kFontScreenFonts | kFontEffects | kFontLimitSize | kFontForceFontExist;  // 73985
inline constexpr std::int16_t kFontSizeMin = 8;
inline constexpr std::int16_t kFontSizeMax = 48;

// The lowest delay in whole seconds the dialog accepts, and the highest.
inline constexpr std::int32_t kTimeDelayMinSeconds = 1;
inline constexpr std::int32_t kTimeDelayMaxSeconds = 60;

class frmConfig {
 public:
  // Gives the controls their properties at creation: the slider's range, steps
  // and ticks; the time-delay box empty.
  frmConfig(Program& program, SettingsStore& store, SystemServices& system, DialogWindow& window,
            DropDownList& cmbVerseSelection, DropDownList& cmbAnimation, TextBox& TxtTimeDelay,
            Slider& SldrSpeed, CommonDialog& CommonDialog1, const NumberParser& numberParser);

  // Event handlers. Once the process has ended none of them does anything.
  void Form_Load();
  // Index 1 is Cancel; any other index is OK.
  void CmdResponse_Click(std::int16_t index);
  // Every close of the dialog (OK, Cancel, close box, window menu, Alt+F4).
  void Form_Unload();
  void CmdFonts_Click();
  void cmdColor_Click();
  void SldrSpeed_Change();

  void ValidateTimeDelay();
  void ShowTimeDelayWarning();

  // TimeDelay as it was when the dialog loaded.
  std::int32_t SavedTimeDelay() const { return savedTimeDelay_; }
  // Whether the last ValidateTimeDelay rejected the time delay.
  bool TimeDelayInvalid() const { return timeDelayInvalid_; }

 private:
  void CentreOnScreen();
  void OkPath();
  void CancelPath();

  Program& program_;
  SettingsStore& store_;
  SystemServices& system_;
  DialogWindow& window_;
  DropDownList& cmbVerseSelection;
  DropDownList& cmbAnimation;
  TextBox& TxtTimeDelay;
  Slider& SldrSpeed;
  CommonDialog& CommonDialog1;
  const NumberParser& numberParser_;

  std::int32_t savedTimeDelay_ = 0;
  bool timeDelayInvalid_ = false;
};

}  // namespace velun
