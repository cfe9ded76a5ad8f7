#pragma once
// The null platform's saver window: a screen of fixed size, labels and a window
// that measure text with fixed metrics, and timers ticked by hand. Every call
// that changes something is written to one shared event log, in order.
#include <algorithm>
#include <cstdint>
#include <functional>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "saver/window_services.h"

namespace velun::fakes {

using EventLog = std::vector<std::string>;

// Text metrics: every character (a UTF-8 code point, the space included) is
// kWidthPerPoint twips wide for each point of the font size, every line
// kHeightPerPoint twips high per point. A text holding CR LF measures as its
// widest line; the empty text as 0 wide and one line high.
struct FakeMetrics {
  static constexpr float kWidthPerPoint = 10;
  static constexpr float kHeightPerPoint = 20;

  static std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t found; (found = text.find("\r\n", start)) != std::string::npos;
         start = found + 2) {
      lines.push_back(text.substr(start, found - start));
    }
    lines.push_back(text.substr(start));
    return lines;
  }
  static std::size_t Characters(const std::string& line) {
    std::size_t count = 0;
    for (const char c : line) count += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    return count;
  }
  static float Width(const std::string& text, float points) {
    std::size_t widest = 0;
    for (const auto& line : Lines(text)) widest = std::max(widest, Characters(line));
    return static_cast<float>(widest) * kWidthPerPoint * points;
  }
  static float Height(const std::string& text, float points) {
    return static_cast<float>(Lines(text).size()) * kHeightPerPoint * points;
  }
};

// What the platform makes of a requested face and size; by default it takes
// them as asked. Tests replace these to play a platform that substitutes.
struct FakeFontRules {
  std::function<std::string(const std::string&)> nameInEffect = [](const std::string& n) {
    return n;
  };
  std::function<float(float)> sizeInEffect = [](float points) { return points; };
};

template <typename Value>
std::string LogText(const Value& value) {
  std::ostringstream out;
  out << std::boolalpha << value;
  return out.str();
}

// Font properties of a window or label, each taken at once and logged.
template <typename Base>
class FakeFontHolder : public Base {
 public:
  FakeFontHolder(std::string name, EventLog& log, const FakeFontRules& rules)
      : name_(std::move(name)), log_(log), rules_(rules) {}

  void SetFontName(const std::string& name) override {
    fontName = rules_.nameInEffect(name);
    Log("FontName=" + name);
  }
  void SetFontSize(float points) override {
    fontSize = rules_.sizeInEffect(points);
    Log("FontSize=" + LogText(points));
  }
  void SetFontBold(bool on) override { fontBold = on, Log("FontBold=" + LogText(on)); }
  void SetFontItalic(bool on) override { fontItalic = on, Log("FontItalic=" + LogText(on)); }
  void SetFontStrikethru(bool on) override {
    fontStrikethru = on, Log("FontStrikethru=" + LogText(on));
  }
  void SetFontUnderline(bool on) override {
    fontUnderline = on, Log("FontUnderline=" + LogText(on));
  }
  std::string FontName() const override { return fontName; }
  float FontSize() const override { return fontSize; }
  bool FontBold() const override { return fontBold; }
  bool FontItalic() const override { return fontItalic; }
  bool FontStrikethru() const override { return fontStrikethru; }
  bool FontUnderline() const override { return fontUnderline; }

  std::string fontName = "MS Sans Serif";
  float fontSize = 8.25f;
  bool fontBold = false;
  bool fontItalic = false;
  bool fontStrikethru = false;
  bool fontUnderline = false;

 protected:
  void Log(const std::string& what) const { log_.push_back(name_ + "." + what); }

 private:
  std::string name_;
  EventLog& log_;
  const FakeFontRules& rules_;
};

class FakeSaverWindow : public FakeFontHolder<SaverWindow> {
 public:
  FakeSaverWindow(EventLog& log, const FakeFontRules& rules)
      : FakeFontHolder<SaverWindow>("window", log, rules) {}

  float ScreenWidth() const override { return screenWidth; }
  float ScreenHeight() const override { return screenHeight; }
  void MoveAndSize(float l, float t, float w, float h) override {
    left = l, top = t, width = w, height = h;
    Log("MoveAndSize(" + LogText(l) + "," + LogText(t) + "," + LogText(w) + "," + LogText(h) +
        ")");
  }
  void Clear() override {
    ++clears;
    Log("Clear");
  }
  float MeasureText(const std::string& text) const override {
    ++measures;
    return FakeMetrics::Width(text, fontSize);
  }

  float screenWidth = 19200;  // 1280 x 1024 pixels at 15 twips a pixel
  float screenHeight = 15360;
  float left = -1, top = -1, width = 0, height = 0;
  int clears = 0;
  mutable int measures = 0;
};

class FakeLabel : public FakeFontHolder<Label> {
 public:
  FakeLabel(std::string name, EventLog& log, const FakeFontRules& rules)
      : FakeFontHolder<Label>(std::move(name), log, rules) {}

  void SetCaption(const std::string& text) override {
    caption = text;
    Log("Caption");
  }
  std::string Caption() const override { return caption; }
  // Sizes itself to its caption unless it was given fixed bounds.
  float Width() const override {
    return fixedBounds ? static_cast<float>(boundsWidth) : FakeMetrics::Width(caption, fontSize);
  }
  float Height() const override {
    return fixedBounds ? static_cast<float>(boundsHeight) : FakeMetrics::Height(caption, fontSize);
  }
  std::int32_t Left() const override { return left; }
  std::int32_t Top() const override { return top; }
  void Move(std::int32_t l, std::int32_t t) override {
    left = l, top = t;
    moves.emplace_back(l, t);
    Log("Move(" + LogText(l) + "," + LogText(t) + ")");
  }
  void SetForeColor(std::int32_t color) override {
    foreColor = color;
    Log("ForeColor=" + LogText(color));
  }
  void SetVisible(bool on) override {
    visible = on;
    Log("Visible=" + LogText(on));
  }
  bool Visible() const override { return visible; }
  void SetFontCharset(int value) override {
    charset = value;
    Log("Charset=" + LogText(value));
  }
  void SetBounds(std::int32_t l, std::int32_t t, std::int32_t w, std::int32_t h) override {
    fixedBounds = true;
    left = l, top = t, boundsWidth = w, boundsHeight = h;
    Log("Bounds");
  }

  std::string caption;
  std::int32_t left = 0, top = 0;
  std::vector<std::pair<std::int32_t, std::int32_t>> moves;
  std::int32_t foreColor = 0;
  bool visible = true;
  int charset = 0;
  bool fixedBounds = false;
  std::int32_t boundsWidth = 0, boundsHeight = 0;
};

// A timer ticked by hand (Tick) or by the screen's clock (FakeScreen::Advance).
class FakeTimer : public Timer {
 public:
  FakeTimer(std::string name, EventLog& log) : name_(std::move(name)), log_(log) {}

  // Setting the interval restarts the count of a running timer.
  void SetInterval(std::int32_t milliseconds) override {
    interval = milliseconds;
    elapsed = 0;
    log_.push_back(name_ + ".Interval=" + LogText(milliseconds));
  }
  std::int32_t Interval() const override { return interval; }
  // Starting a stopped timer starts a full interval; starting a running one
  // changes nothing.
  void SetEnabled(bool on) override {
    if (on && !enabled) elapsed = 0, ++starts;
    if (!on && enabled) ++stops;
    enabled = on;
    log_.push_back(name_ + (on ? " on" : " off"));
  }
  bool Enabled() const override { return enabled; }

  // Delivers one tick now, as the platform would, if the timer runs.
  bool Tick() {
    if (!enabled) return false;
    elapsed = 0;
    ++ticks;
    if (onTick) onTick();
    return true;
  }

  std::int32_t interval = 0;
  bool enabled = false;
  std::int64_t elapsed = 0;
  int starts = 0, stops = 0, ticks = 0;
  std::function<void()> onTick;

 private:
  std::string name_;
  EventLog& log_;
};

// The whole null screen: the window, the two labels and the two timers of the
// saver, with a clock that delivers timer ticks one millisecond at a time.
struct FakeScreen {
  EventLog events;
  FakeFontRules fontRules;
  FakeSaverWindow window{events, fontRules};
  FakeLabel label1{"Label1", events, fontRules};
  FakeLabel lblFrozen{"lblFrozen", events, fontRules};
  FakeTimer timer1{"Timer1", events};
  FakeTimer timer2{"Timer2", events};
  std::int64_t now = 0;  // milliseconds since the clock started

  // Lets the given time pass. Each millisecond, every running timer with a
  // positive interval counts it; those whose interval is full tick, Timer1
  // first. A timer stopped or started by an earlier tick of the same
  // millisecond does not tick in it.
  void Advance(std::int64_t milliseconds) {
    for (std::int64_t i = 0; i < milliseconds; ++i) {
      ++now;
      FakeTimer* timers[] = {&timer1, &timer2};
      bool due[2] = {false, false};
      for (int t = 0; t < 2; ++t) {
        if (timers[t]->enabled && timers[t]->interval > 0) {
          due[t] = ++timers[t]->elapsed >= timers[t]->interval;
        }
      }
      for (int t = 0; t < 2; ++t) {
        if (due[t] && timers[t]->enabled && timers[t]->elapsed >= timers[t]->interval) {
          timers[t]->Tick();
        }
      }
    }
  }
};

}  // namespace velun::fakes
