#include "saver/form1.h"
#include "saver/verse_layout.h"

namespace velun {

void Form1::VerseCycle() {
  if (program_.ended) return;
  const Settings& settings = program_.settings;
  window_.Clear();
  // Only 1 to 5 are kinds of their own; 1000 draws one per verse, and so does
  // any other stored value, which would otherwise start no timer and leave the
  // saver on one verse for good.
  if (settings.AnimationType >= kSlideFromTop && settings.AnimationType <= kPopOnScreen) {
    AnimationKind = settings.AnimationType;
  } else {
    AnimationKind = random_.Draw(5);
  }
  Timer1.SetEnabled(false);
  FetchNextVerse(*this, settings.VerseSelectionType, settings, random_);
  Label1.SetVisible(false);
  Label1.SetCaption(WrapVerseText(VerseText, MaxLineWidth));
  StartAnimation();
}

std::string Form1::WrapVerseText(const std::string& text, std::int32_t limit) const {
  const std::string& lineBreak = program_.settings.LineBreak;
  return velun::WrapVerseText(
      text, limit, [this](const std::string& piece) { return window_.MeasureText(piece); },
      lineBreak.empty() ? "\r\n" : lineBreak);
}

}  // namespace velun
