#pragma once
// The saver window (Form1's platform side) with its labels and timers.
// Implemented:
//  [X] Borderless top-most popup over the primary monitor at (0, 0), black, caption
//      "Velun Saver", not in the taskbar (tool window), hidden until the load is done
//  [X] Twips = pixels * 1440 / the primary monitor's DPI
//  [X] Double-buffered painting: one back buffer, no background erase, one copy
//  [X] Only what changed is repainted: a label's change invalidates the area it
//      covered and the area it covers now (a slide tick repaints the label, not the
//      screen); the first frame and a Clear repaint everything
//  [X] Label1 and lblFrozen drawn by the window (no child controls): the verse label
//      sizes itself to its caption, right-aligns each line, transparent background;
//      the notice keeps its bounds and draws in the dialog font and colours
//  [X] Measuring with the window's own font, widest line of a multi-line text
//  [X] Timer1 and Timer2 as SetTimer timers
//  [X] WM_KEYDOWN / WM_SYSKEYDOWN -> key handler (virtual-key code, shift state);
//      WM_MOUSEMOVE -> mouse handler in twips; WM_CLOSE / SC_CLOSE -> unload;
//      SC_SCREENSAVE ignored while the saver runs
//  [X] No event reaches the core while one of its handlers runs (a message box
//      inside a handler pumps messages)
#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/win32/gdi_font.h"
#include "platform/win32/text_shaping.h"
#include "saver/saver_events.h"
#include "saver/window_services.h"

namespace velun::win32 {

class SaverWindowWin32;

// The shift state the saver's key and mouse handlers take: 1 Shift, 2 Ctrl, 4 Alt.
std::int16_t CurrentShiftState();

class DrawnLabel : public FontHolderImpl<velun::Label> {
 public:
  enum class Style { Verse, Notice };
  DrawnLabel(SaverWindowWin32& owner, Style style, const FontRequest& font, int dpi);

  void SetCaption(const std::string& caption) override;
  std::string Caption() const override { return caption_; }
  float Width() const override;
  float Height() const override;
  std::int32_t Left() const override { return left_; }
  std::int32_t Top() const override { return top_; }
  void Move(std::int32_t left, std::int32_t top) override;
  void SetForeColor(std::int32_t color) override;
  void SetVisible(bool visible) override;
  bool Visible() const override { return visible_; }
  void SetFontCharset(int charset) override;
  void SetBounds(std::int32_t left, std::int32_t top, std::int32_t width,
                 std::int32_t height) override;

  void Paint(HDC dc) const;

 private:
  void FontChanged() override;
  void Measure();
  // The window area, in pixels, that the label's drawing may touch as it stands now:
  // its box grown by a line height on every side for glyphs that reach out of
  // their cells (swashes, marks, italics); empty while hidden.
  RECT Extent() const;
  // Repaints the area the label covered and the area it covers now.
  void Changed();

  SaverWindowWin32& owner_;
  Style style_;
  std::string caption_;
  std::vector<ShapedLine> lines_;  // shaped in the window's drawing dc
  int widestLine_ = 0;
  std::int32_t left_ = 0, top_ = 0;             // twips
  std::int32_t fixedWidth_ = 0, fixedHeight_ = 0;  // twips, the notice only
  COLORREF color_ = RGB(0, 0, 0);
  bool visible_ = true;
  RECT shown_{0, 0, 0, 0};  // Extent() when last invalidated
};

class WindowTimer : public velun::Timer {
 public:
  WindowTimer(HWND window, UINT_PTR id) : window_(window), id_(id) {}
  void SetInterval(std::int32_t milliseconds) override;
  std::int32_t Interval() const override { return interval_; }
  void SetEnabled(bool enabled) override;
  bool Enabled() const override { return enabled_; }

 private:
  void Arm();
  HWND window_;
  UINT_PTR id_;
  std::int32_t interval_ = 0;
  bool enabled_ = false;
};

class SaverWindowWin32 : public FontHolderImpl<velun::SaverWindow> {
 public:
  static constexpr UINT_PTR kTimer1Id = 1;
  static constexpr UINT_PTR kTimer2Id = 2;

  explicit SaverWindowWin32(HINSTANCE instance);
  SaverWindowWin32(const SaverWindowWin32&) = delete;
  SaverWindowWin32& operator=(const SaverWindowWin32&) = delete;
  ~SaverWindowWin32() override;

  void SetHandlers(SaverEventHandlers handlers) { handlers_ = std::move(handlers); }

  float ScreenWidth() const override;
  float ScreenHeight() const override;
  void MoveAndSize(float left, float top, float width, float height) override;
  void Clear() override;
  float MeasureText(const std::string& text) const override;

  // Makes the loaded window visible, in front, with the keyboard focus.
  void Show();

  HWND Handle() const { return window_; }
  int Dpi() const { return dpi_; }
  DrawnLabel& Label1() { return *label1_; }
  DrawnLabel& lblFrozen() { return *frozenLabel_; }
  WindowTimer& Timer1() { return *timer1_; }
  WindowTimer& Timer2() { return *timer2_; }

  float PixelsToTwips(double pixels) const { return static_cast<float>(pixels * 1440.0 / dpi_); }
  int TwipsToPixels(double twips) const;
  // The one memory dc that holds the back buffer; text is measured and shaped in it.
  HDC DrawingDc() const { return drawingDc_; }
  // Marks an area of the window (pixels) for repainting.
  void Invalidate(const RECT& area) const;

  // Runs one of the saver's handlers unless one is running already.
  void Deliver(const std::function<void()>& handler);
  void DeliverKey(WPARAM virtualKey);
  void DeliverMouseAt(POINT screenPoint, WPARAM buttons);
  void DeliverUnload();

 private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
  void Paint();

  HWND window_ = nullptr;
  int dpi_ = 96;
  HDC drawingDc_ = nullptr;
  HGDIOBJ originalBitmap_ = nullptr;
  HBITMAP backBuffer_ = nullptr;
  SIZE backBufferSize_{0, 0};
  SaverEventHandlers handlers_;
  bool inHandler_ = false;
  std::unique_ptr<DrawnLabel> label1_;
  std::unique_ptr<DrawnLabel> frozenLabel_;
  std::unique_ptr<WindowTimer> timer1_;
  std::unique_ptr<WindowTimer> timer2_;
};

// The DPI of the primary monitor (96 where the system cannot tell).
int PrimaryMonitorDpi();

}  // namespace velun::win32
