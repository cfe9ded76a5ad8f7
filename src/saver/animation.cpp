#include "saver/form1.h"

#include <algorithm>

#include "startup/checked.h"

namespace velun {

void Form1::StartAnimation() {
  if (program_.ended) return;
  const double screenWidth = window_.ScreenWidth();
  const double screenHeight = window_.ScreenHeight();
  const double labelWidth = Label1.Width();
  const double labelHeight = Label1.Height();
  TargetTop = RoundHalfEven<std::int32_t>((screenHeight - labelHeight) / 2);
  TargetLeft = RoundHalfEven<std::int32_t>((screenWidth - labelWidth) / 2);
  switch (AnimationKind) {
    case kSlideFromTop:
      SlidePos = RoundHalfEven<std::int32_t>(-labelHeight);
      Label1.Move(TargetLeft, SlidePos);
      Timer2.SetEnabled(true);
      break;
    case kSlideFromBottom:
      SlidePos = RoundHalfEven<std::int32_t>(screenHeight);
      Label1.Move(TargetLeft, SlidePos);
      Timer2.SetEnabled(true);
      break;
    case kSlideFromLeft:
      SlidePos = RoundHalfEven<std::int32_t>(-labelWidth);
      Label1.Move(SlidePos, TargetTop);
      Timer2.SetEnabled(true);
      break;
    case kSlideFromRight:
      SlidePos = RoundHalfEven<std::int32_t>(screenWidth);
      Label1.Move(SlidePos, TargetTop);
      Timer2.SetEnabled(true);
      break;
    case kPopOnScreen:
      Label1.Move(TargetLeft, TargetTop);
      Timer2.SetEnabled(false);
      Timer1.SetEnabled(true);
      break;
    default:
      break;
  }
  Label1.SetVisible(true);
}

void Form1::AnimationTick() {
  if (program_.ended) return;
  switch (AnimationKind) {
    case kSlideFromTop: SlideFromTop(); break;
    case kSlideFromBottom: SlideFromBottom(); break;
    case kSlideFromLeft: SlideFromLeft(); break;
    case kSlideFromRight: SlideFromRight(); break;
    default: break;
  }
}

std::int16_t Form1::SlideStep() const {
  // A step of zero or less would never reach the target, and a speed above
  // 32757 cannot form a 16-bit step; the dialog itself gives 10 to 1010.
  const std::int32_t step = std::int32_t{program_.settings.AnimationSpeed} + 10;
  return static_cast<std::int16_t>(std::clamp<std::int32_t>(step, 10, 32767));
}

void Form1::EndSlide(std::int32_t target) {
  Timer2.SetEnabled(false);
  Timer1.SetEnabled(true);
  SlidePos = target;
  window_.Clear();
}

void Form1::SlideFromTop() {
  if (program_.ended) return;
  SlidePos = Add32(SlidePos, SlideStep());
  if (SlidePos > TargetTop) EndSlide(TargetTop);
  Label1.Move(TargetLeft, SlidePos);
}

void Form1::SlideFromBottom() {
  if (program_.ended) return;
  SlidePos = Sub32(SlidePos, SlideStep());
  if (SlidePos < TargetTop) EndSlide(TargetTop);
  Label1.Move(TargetLeft, SlidePos);
}

void Form1::SlideFromLeft() {
  if (program_.ended) return;
  SlidePos = Add32(SlidePos, SlideStep());
  if (SlidePos > TargetLeft) EndSlide(TargetLeft);
  Label1.Move(SlidePos, TargetTop);
}

void Form1::SlideFromRight() {
  if (program_.ended) return;
  SlidePos = Sub32(SlidePos, SlideStep());
  if (SlidePos < TargetLeft) EndSlide(TargetLeft);
  Label1.Move(SlidePos, TargetTop);
}

}  // namespace velun
