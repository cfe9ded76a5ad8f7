#pragma once
// The saver window: its state, its load and unload, keyboard and mouse, the
// verse cycle, the layout of a verse and its entry animation. The front end
// creates the controls, hands them in, and passes every event and timer tick
// to the handler of the same name (through RunHandler, run_handler.h);
// Form_Load has its own failure trap and is called directly.
#include <cstdint>
#include <string>

#include "saver/window_services.h"
#include "startup/program.h"
#include "startup/settings.h"
#include "startup/system.h"
#include "verses/random.h"
#include "verses/verse_source.h"

namespace velun {

inline constexpr std::int16_t kFreezeKeyCode = 83;  // the S key, whatever the modifiers
inline constexpr const char* kFrozenNotice = "Velun Saver is frozen.  Hit s to continue";

// The verse members (VerseCount to VerseIndex) come from the verse index.
class Form1 : public velun::VerseIndex {
 public:
  std::int16_t Margin = 0;
  std::int32_t MaxLineWidth = 0;
  std::int32_t SlidePos = 0;
  std::int32_t TargetLeft = 0;
  std::int32_t TargetTop = 0;
  std::int16_t AnimationKind = 0;
  float LastMouseX = 0;
  float LastMouseY = 0;
  bool MouseRecorded = false;
  bool AnimationFrozen = false;

  // Gives the controls their properties at creation: Label1 in "Traditional
  // Arabic" 16.2 pt, Arabic character set; lblFrozen with its notice at the
  // top-left corner, hidden; Timer1 at 10000 ms and Timer2 at 1 ms, both running.
  Form1(Program& program, SettingsStore& store, SystemServices& system, SaverWindow& window,
        Label& label1, Label& lblFrozen, Timer& timer1, Timer& timer2, UniformRandom& random);

  // Event handlers. Once the process has ended none of them does anything.
  void Form_Load();
  void Form_KeyDown(std::int16_t keyCode, std::int16_t shift);
  void Form_MouseMove(std::int16_t button, std::int16_t shift, float x, float y);
  void Form_Unload();
  void VerseCycle();     // Timer1's tick
  void AnimationTick();  // Timer2's tick

  // WrapVerseText (verse_layout.h) measured with the window's font.
  std::string WrapVerseText(const std::string& text, std::int32_t limit) const;
  void StartAnimation();
  void SlideFromTop();
  void SlideFromBottom();
  void SlideFromLeft();
  void SlideFromRight();

  // AnimationSpeed + 10, kept from 10 to 32767 twips a tick whatever is stored.
  std::int16_t SlideStep() const;

 private:
  void HideCursor();
  void ApplyFontSettings();
  void EndSlide(std::int32_t target);

  Program& program_;
  SettingsStore& store_;
  SystemServices& system_;
  SaverWindow& window_;
  Label& Label1;
  Label& lblFrozen;
  Timer& Timer1;
  Timer& Timer2;
  UniformRandom& random_;
};

}  // namespace velun
