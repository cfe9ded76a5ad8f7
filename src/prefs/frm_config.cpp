#include "prefs/frm_config.h"

#include <algorithm>
#include <exception>
#include <optional>
#include <string>

#include "prefs/number_text.h"
#include "startup/checked.h"
#include "startup/conversions.h"

namespace velun {

static_assert(kColorFlags == 1);
static_assert(kFontFlags == 73985);

namespace {

// The list position of a stored verse order; an order the list does not hold
// selects "Random Verse".
std::int32_t VerseSelectionPosition(std::int16_t verseSelectionType) {
  if (verseSelectionType >= kFromBeginingToEnd && verseSelectionType <= kRandomVerse)
    return verseSelectionType - 1;
  return kRandomVerse - 1;
}

// The list position of a stored animation: 1000 and any code the list does not
// hold select the last entry, "Random Animation".
std::int32_t AnimationPosition(std::int16_t animationType, std::int32_t entryCount) {
  if (animationType >= kSlideFromTop && animationType <= kPopOnScreen) return animationType - 1;
  return entryCount - 1;
}

}  // namespace

frmConfig::frmConfig(Program& program, SettingsStore& store, SystemServices& system,
                     DialogWindow& window, DropDownList& cmbVerseSelection,
                     DropDownList& cmbAnimation, TextBox& TxtTimeDelay, Slider& SldrSpeed,
                     CommonDialog& CommonDialog1, const NumberParser& numberParser)
    : program_(program),
      store_(store),
      system_(system),
      window_(window),
      cmbVerseSelection(cmbVerseSelection),
      cmbAnimation(cmbAnimation),
      TxtTimeDelay(TxtTimeDelay),
      SldrSpeed(SldrSpeed),
      CommonDialog1(CommonDialog1),
      numberParser_(numberParser) {
  SldrSpeed.SetRange(kSpeedMin, kSpeedMax);
  SldrSpeed.SetSmallChange(kSpeedSmallChange);
  SldrSpeed.SetLargeChange(kSpeedLargeChange);
  SldrSpeed.SetTickFrequency(kSpeedTickFrequency);
  TxtTimeDelay.SetText("");
}

void frmConfig::Form_Load() {
  if (program_.ended) return;
  Settings& settings = program_.settings;

  CentreOnScreen();

  for (const ListEntry& entry : kVerseSelectionEntries) cmbVerseSelection.AddItem(entry.text);
  for (std::size_t i = 0; i < kVerseSelectionEntries.size(); ++i)
    cmbVerseSelection.SetItemData(static_cast<std::int32_t>(i), kVerseSelectionEntries[i].code);
  cmbVerseSelection.SetSelectedIndex(VerseSelectionPosition(settings.VerseSelectionType));

  for (const ListEntry& entry : kAnimationEntries) cmbAnimation.AddItem(entry.text);
  for (std::size_t i = 0; i < kAnimationEntries.size(); ++i)
    cmbAnimation.SetItemData(static_cast<std::int32_t>(i), kAnimationEntries[i].code);
  cmbAnimation.SetSelectedIndex(AnimationPosition(settings.AnimationType, cmbAnimation.Count()));

  // A stored speed beyond the slider's range puts it at the nearer end. Setting
  // the value raises the slider's change event, which snaps it to its step.
  SldrSpeed.SetValue(std::clamp<std::int32_t>(settings.AnimationSpeed, kSpeedMin, kSpeedMax));
  SldrSpeed_Change();

  savedTimeDelay_ = settings.TimeDelay;
  TxtTimeDelay.SetText(NumberToText(settings.TimeDelay / 1000));
}

void frmConfig::CentreOnScreen() {
  // Plain division first; the platform places windows on whole twips, so the
  // result is then rounded, halves to even.
  const double left = (static_cast<double>(window_.ScreenWidth()) - window_.Width()) / 2;
  const double top = (static_cast<double>(window_.ScreenHeight()) - window_.Height()) / 2;
  window_.Move(RoundHalfEven<std::int32_t>(left), RoundHalfEven<std::int32_t>(top));
}

void frmConfig::CmdResponse_Click(std::int16_t index) {
  if (program_.ended) return;
  if (index == 1)
    CancelPath();
  else
    OkPath();
}

void frmConfig::OkPath() {
  Settings& settings = program_.settings;
  // A list without a selection leaves its setting as it is.
  if (cmbVerseSelection.SelectedIndex() >= 0)
    settings.VerseSelectionType = NarrowOrOverflow<std::int16_t>(cmbVerseSelection.SelectedItemData());
  if (cmbAnimation.SelectedIndex() >= 0)
    settings.AnimationType = NarrowOrOverflow<std::int16_t>(cmbAnimation.SelectedItemData());
  settings.AnimationSpeed = NarrowOrOverflow<std::int16_t>(SldrSpeed.Value() / 100 * 100);
  ValidateTimeDelay();
  // A rejected delay keeps the dialog open; the three choices above stay taken.
  if (!timeDelayInvalid_) Form_Unload();
}

void frmConfig::CancelPath() {
  program_.settings.TimeDelay = savedTimeDelay_;
  Form_Unload();
}

void frmConfig::Form_Unload() {
  if (program_.ended) return;
  SaveSettings(program_.settings, store_);
  program_.ended = true;
  system_.EndProcess();
}

void frmConfig::ValidateTimeDelay() {
  const std::string text = TxtTimeDelay.Text();
  if (!numberParser_.Parse(text)) {
    ShowTimeDelayWarning();
    timeDelayInvalid_ = true;
    return;
  }
  // The numeric test follows the user's locale, the reading does not: in a
  // comma locale "7,5" passes the test and reads as 7. A value beyond 32 bits
  // counts as too large.
  const std::optional<std::int32_t> seconds = FloorOfLeadingNumber32(text);
  if (!seconds || *seconds > kTimeDelayMaxSeconds || *seconds < kTimeDelayMinSeconds) {
    ShowTimeDelayWarning();
    timeDelayInvalid_ = true;
    return;
  }
  program_.settings.TimeDelay = *seconds * 1000;
  timeDelayInvalid_ = false;
}

void frmConfig::ShowTimeDelayWarning() {
  system_.ShowMessageBox(kTimeDelayWarning, kStyleExclamation, kApplicationName);
}

void frmConfig::cmdColor_Click() {
  if (program_.ended) return;
  try {
    const std::optional<std::int32_t> color =
        CommonDialog1.ShowColor(kColorFlags, program_.settings.FontColor);
    if (!color) return;
    program_.settings.FontColor = *color;
  } catch (const std::exception&) {
    // A chooser that cannot be prepared or shown ends the pick silently.
  }
}

void frmConfig::CmdFonts_Click() {
  if (program_.ended) return;
  Settings& settings = program_.settings;
  try {
    FontChoice start;
    start.FontName = settings.FontName;
    start.FontBold = settings.FontBold;
    start.FontItalic = settings.FontItalic;
    start.FontUnderline = settings.FontUnderline;
    start.FontStrikethru = settings.FontStrikethru;
    start.FontSize = static_cast<float>(settings.FontSize);
    const std::optional<FontChoice> chosen =
        CommonDialog1.ShowFont(kFontFlags, kFontSizeMin, kFontSizeMax, start);
    if (!chosen) return;
    // The size is converted before any setting changes, so that a size that
    // cannot be held leaves the whole font as it was.
    const std::int16_t size = RoundHalfEven<std::int16_t>(chosen->FontSize);
    settings.FontName = chosen->FontName;
    settings.FontBold = chosen->FontBold;
    settings.FontItalic = chosen->FontItalic;
    settings.FontUnderline = chosen->FontUnderline;
    settings.FontStrikethru = chosen->FontStrikethru;
    settings.FontSize = size;
  } catch (const std::exception&) {
    // A chooser that cannot be prepared or shown ends the pick silently.
  }
}

void frmConfig::SldrSpeed_Change() {
  if (program_.ended) return;
  const std::int32_t value = SldrSpeed.Value();
  SldrSpeed.SetValue(value / 100 * 100);
}

}  // namespace velun
