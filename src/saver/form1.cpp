#include "saver/form1.h"

#include "startup/checked.h"
#include "startup/failure.h"
#include "startup/fatal_report.h"

namespace velun {
namespace {

constexpr int kArabicCharset = 178;
constexpr std::int32_t kDefaultTimeDelay = 10000;

}  // namespace

Form1::Form1(Program& program, SettingsStore& store, SystemServices& system, SaverWindow& window,
             Label& label1, Label& frozenLabel, Timer& timer1, Timer& timer2,
             UniformRandom& random)
    : program_(program),
      store_(store),
      system_(system),
      window_(window),
      Label1(label1),
      lblFrozen(frozenLabel),
      Timer1(timer1),
      Timer2(timer2),
      random_(random) {
  Label1.SetFontName("Traditional Arabic");
  Label1.SetFontSize(16.2f);
  Label1.SetFontCharset(kArabicCharset);
  lblFrozen.SetCaption(kFrozenNotice);
  lblFrozen.SetBounds(0, 0, 2820, 195);
  lblFrozen.SetVisible(false);
  Timer1.SetInterval(10000);
  Timer1.SetEnabled(true);
  Timer2.SetInterval(1);
  Timer2.SetEnabled(true);
}

void Form1::Form_Load() {
  if (program_.ended) return;
  try {
    MouseRecorded = false;
    AnimationFrozen = false;
    window_.MoveAndSize(0, 0, window_.ScreenWidth(), window_.ScreenHeight());
    HideCursor();
    system_.SetScreenSaverRunning(true);
    program_.screenSaverNoticeGiven = true;
    PrepareVerseSource(*this, program_.settings, random_);
    ApplyFontSettings();
    // A delay of zero or less would stop the verses for good; the stored value
    // stays as it is.
    const std::int32_t delay = program_.settings.TimeDelay;
    Timer1.SetInterval(delay > 0 ? delay : kDefaultTimeDelay);
    Margin = 2000;
    MaxLineWidth = RoundHalfEven<std::int32_t>(static_cast<double>(window_.ScreenWidth()) - Margin);
    VerseCycle();
  } catch (const Failure& failure) {
    ReportFatalError(failure, program_, system_);
  }
}

void Form1::HideCursor() {
  // The count may start anywhere; -6 or lower hides the cursor whatever else
  // has shown it.
  while (system_.ShowCursor(false) >= -5) {
  }
}

void Form1::ApplyFontSettings() {
  const Settings& settings = program_.settings;
  Label1.SetFontName(settings.FontName);
  Label1.SetFontSize(static_cast<float>(settings.FontSize));
  Label1.SetFontBold(settings.FontBold);
  Label1.SetFontItalic(settings.FontItalic);
  Label1.SetFontStrikethru(settings.FontStrikethru);
  Label1.SetFontUnderline(settings.FontUnderline);
  Label1.SetForeColor(settings.FontColor);
  // The window measures with the font the label really uses, which may differ
  // from the stored one (a missing face, a size the font does not have).
  window_.SetFontName(Label1.FontName());
  window_.SetFontSize(Label1.FontSize());
  window_.SetFontBold(Label1.FontBold());
  window_.SetFontItalic(Label1.FontItalic());
  window_.SetFontStrikethru(Label1.FontStrikethru());
  window_.SetFontUnderline(Label1.FontUnderline());
}

void Form1::Form_KeyDown(std::int16_t keyCode, std::int16_t /*shift*/) {
  if (program_.ended) return;
  if (keyCode != kFreezeKeyCode) {
    Form_Unload();
    return;
  }
  if (Timer2.Enabled()) {
    AnimationFrozen = true;
    Timer2.SetEnabled(false);
  } else {
    if (AnimationFrozen) {
      Timer2.SetEnabled(true);
      AnimationFrozen = false;
    }
    Timer1.SetEnabled(!Timer1.Enabled());
  }
  lblFrozen.SetVisible(!lblFrozen.Visible());
}

void Form1::Form_MouseMove(std::int16_t /*button*/, std::int16_t /*shift*/, float x, float y) {
  if (program_.ended) return;
  if ((x == LastMouseX && y == LastMouseY) || !MouseRecorded) {
    MouseRecorded = true;
    LastMouseX = x;
    LastMouseY = y;
  } else {
    Form_Unload();
  }
}

void Form1::Form_Unload() {
  if (program_.ended) return;
  WithdrawScreenSaverNotice(program_, system_);
  ShowCursorFully(system_);
  SaveSettings(program_.settings, store_);
  program_.ended = true;
  system_.EndProcess();
}

}  // namespace velun
