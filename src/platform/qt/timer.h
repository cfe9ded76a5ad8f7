#pragma once
// The saver's timers on Qt.
// Implemented:
//  [X] A QTimer per timer; its tick runs the saver's handler through the window
//  [X] Starting a stopped timer starts a full interval; setting the interval of a
//      running timer starts a full new one (as SetTimer does on Windows)
//  [X] Windows' floor: no interval shorter than kTimerFloorMilliseconds. Windows
//      raises any interval under 10 ms to 10 ms and then fires on its clock tick,
//      every 15.625 ms by default, so the 1 ms animation timer ticks 64 times a
//      second there and a slide's speed was made for that. A 1 ms QTimer would tick
//      up to 1000 times a second: the slide would run many times faster and cost as
//      much more. 16 ms is the whole number nearest to 15.625 (62.5 ticks a second,
//      2 % slower than Windows) and one frame of a 60 Hz display.
//  [X] Precise timing for the floor, so that ticks do not drift or bunch
#include <QTimer>
#include <cstdint>
#include <functional>

#include "saver/window_services.h"

namespace velun::qt {

inline constexpr int kTimerFloorMilliseconds = 16;

// The interval a QTimer is given for the saver's interval.
inline int EffectiveInterval(std::int32_t milliseconds) {
  return milliseconds < kTimerFloorMilliseconds ? kTimerFloorMilliseconds : milliseconds;
}

class QtTimer : public velun::Timer {
 public:
  // tick runs on every timeout while the timer is enabled.
  explicit QtTimer(std::function<void()> tick) : tick_(std::move(tick)) {
    timer_.setTimerType(Qt::PreciseTimer);
    QObject::connect(&timer_, &QTimer::timeout, [this] {
      if (enabled_ && tick_) tick_();
    });
  }

  void SetInterval(std::int32_t milliseconds) override {
    interval_ = milliseconds;
    timer_.setInterval(EffectiveInterval(milliseconds));
    if (enabled_) timer_.start();
  }
  std::int32_t Interval() const override { return interval_; }
  void SetEnabled(bool enabled) override {
    if (enabled_ == enabled) return;  // a running timer keeps its interval going
    enabled_ = enabled;
    if (enabled)
      timer_.start();
    else
      timer_.stop();
  }
  bool Enabled() const override { return enabled_; }

 private:
  QTimer timer_;
  std::function<void()> tick_;
  std::int32_t interval_ = 0;
  bool enabled_ = false;
};

}  // namespace velun::qt
