#pragma once
// What the saver window needs of the platform's windowing. Positions and sizes
// are in twips, times in milliseconds, text in UTF-8. Sizes that the platform
// reports (screen, label) are single-precision, as the platform gives them; the
// saver rounds them itself where it keeps whole twips.
#include <cstdint>
#include <string>

namespace velun {

// Font properties that take effect at once; a value read back is the one in effect.
class FontHolder {
 public:
  virtual ~FontHolder() = default;
  virtual void SetFontName(const std::string& name) = 0;
  virtual void SetFontSize(float points) = 0;
  virtual void SetFontBold(bool bold) = 0;
  virtual void SetFontItalic(bool italic) = 0;
  virtual void SetFontStrikethru(bool strikethru) = 0;
  virtual void SetFontUnderline(bool underline) = 0;
  virtual std::string FontName() const = 0;
  virtual float FontSize() const = 0;
  virtual bool FontBold() const = 0;
  virtual bool FontItalic() const = 0;
  virtual bool FontStrikethru() const = 0;
  virtual bool FontUnderline() const = 0;
};

// The full-screen window: borderless, black, captioned "Velun Saver". Its own
// font serves only for measuring text.
class SaverWindow : public FontHolder {
 public:
  // The whole screen, in twips.
  virtual float ScreenWidth() const = 0;
  virtual float ScreenHeight() const = 0;
  virtual void MoveAndSize(float left, float top, float width, float height) = 0;
  // Erases what was drawn on the window to its black background; labels stay.
  virtual void Clear() = 0;
  // Width of the text in the window's current font; a text holding CR LF
  // measures as its widest line, the empty text as 0.
  virtual float MeasureText(const std::string& text) const = 0;
};

// A label drawn over the window. The verse label sizes itself to its caption
// (CR LF separates lines), aligns its lines to the right and has a transparent
// background; the frozen notice keeps the bounds it is given.
class Label : public FontHolder {
 public:
  virtual void SetCaption(const std::string& caption) = 0;
  virtual std::string Caption() const = 0;
  // Size of the current caption for a label that sizes itself, read at once
  // after the caption has changed.
  virtual float Width() const = 0;
  virtual float Height() const = 0;
  virtual std::int32_t Left() const = 0;
  virtual std::int32_t Top() const = 0;
  virtual void Move(std::int32_t left, std::int32_t top) = 0;  // Left and Top together
  virtual void SetForeColor(std::int32_t color) = 0;
  virtual void SetVisible(bool visible) = 0;
  virtual bool Visible() const = 0;
  // The label's character set (178 is Arabic); set once when the window is created.
  virtual void SetFontCharset(int charset) = 0;
  // Fixed bounds for a label that does not size itself (the frozen notice).
  virtual void SetBounds(std::int32_t left, std::int32_t top, std::int32_t width,
                         std::int32_t height) = 0;
};

// A timer whose ticks the front end hands to the saver window's handler.
// Starting a stopped timer starts a full interval; a timer started from inside
// a handler ticks no earlier than one interval later.
class Timer {
 public:
  virtual ~Timer() = default;
  virtual void SetInterval(std::int32_t milliseconds) = 0;
  virtual std::int32_t Interval() const = 0;
  virtual void SetEnabled(bool enabled) = 0;
  virtual bool Enabled() const = 0;
};

}  // namespace velun
