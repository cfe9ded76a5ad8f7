#pragma once
// The saver window (Form1's platform side) with its labels, timers and covers.
// Implemented:
//  [X] Frameless, top-most, black, captioned "Velun Saver", full screen on the primary
//      screen; hidden until the load is done, then shown with the keyboard and the
//      pointer grabbed (no other window takes the keys while the saver runs)
//  [X] Where the saver draws is one parameter (SaverPlacement); every input goes
//      through one place (DeliverKey, DeliverMouseAt, DeliverUnload)
//  [X] Twips = pixels * 1440 / the primary screen's logical DPI
//  [X] Label1 and lblFrozen drawn by the window itself: the verse label sizes itself
//      to its caption (text_block.h), right-aligns each line, transparent background;
//      the notice keeps its bounds and draws in the application's font and colours
//  [X] One back buffer (the window's backing store): nothing is erased by the
//      system; a change of the label repaints only the union of its old and new
//      places, so a slide's tick costs the size of the label, not of the screen
//  [X] Timers as QTimers with Windows' floor of 16 ms (timer.h)
//  [X] Keys -> the key handler with the Windows virtual-key code (key_codes.h);
//      pointer movement -> the mouse handler in twips, relative to the window; the
//      position where the window appears is reported once when it is shown, as
//      Windows does; a close by the window manager -> the unload
//  [X] No event reaches the core while one of its handlers runs (a message box
//      inside a handler runs its own event loop)
//  [X] Every other screen covered by a black window whose keys and movements go
//      to the same handlers (cover_windows.h)
//  [X] As a display mode (display_mode.h): drawn into a window that another program
//      made (SaverPlacement::kForeignWindow), as a child window of the window's size;
//      or over the whole root window and below every other window (kRootWindow).
//      There the host owns the keyboard, the pointer and the other screens: no grab,
//      no covers, and input ends nothing
#include <QPointer>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "platform/qt/fonts.h"
#include "platform/qt/text_block.h"
#include "platform/qt/timer.h"
#include "saver/saver_events.h"
#include "saver/window_services.h"

class QKeyEvent;
class QWindow;

namespace velun::qt {

class SaverWindowQt;
class CoverWindows;

// Where the saver draws: its own full-screen window on the primary screen (input
// ends it), a window that another program made and passes in, or the root window.
struct SaverPlacement {
  enum class Kind { kOwnFullScreen, kForeignWindow, kRootWindow };
  Kind kind = Kind::kOwnFullScreen;
  WId foreignWindow = 0;
  QSize foreignSize;  // pixels
  // Keys and movements end (or freeze) the saver; off where the host watches input.
  bool inputEnds = true;
};

class DrawnLabel : public QtFontHolder<velun::Label> {
 public:
  enum class Style { Verse, Notice };
  DrawnLabel(SaverWindowQt& owner, Style style, const QFont& font);

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

  void Paint(QPainter& painter) const;
  // Where the label's ink may fall, in the window's pixels (empty when hidden).
  QRect PaintedRect() const;

 private:
  void FontChanged() override;
  void Layout();
  // Runs a change and repaints the union of the label's places before and after.
  template <typename Mutation>
  void Repaint(Mutation mutation);

  SaverWindowQt& owner_;
  Style style_;
  std::string caption_;
  TextBlock block_;
  std::int32_t left_ = 0, top_ = 0;                // twips
  std::int32_t fixedWidth_ = 0, fixedHeight_ = 0;  // twips, the notice only
  QColor color_ = Qt::black;
  bool visible_ = true;
};

class SaverWindowQt : public QtFontHolder<velun::SaverWindow> {
 public:
  explicit SaverWindowQt(SaverPlacement placement = {});
  SaverWindowQt(const SaverWindowQt&) = delete;
  SaverWindowQt& operator=(const SaverWindowQt&) = delete;
  ~SaverWindowQt() override;

  void SetHandlers(SaverEventHandlers handlers) { handlers_ = std::move(handlers); }

  float ScreenWidth() const override;
  float ScreenHeight() const override;
  void MoveAndSize(float left, float top, float width, float height) override;
  void Clear() override;
  float MeasureText(const std::string& text) const override;

  // Makes the loaded window visible, in front, with the keyboard and the pointer,
  // and covers the other screens.
  void Show();

  QWidget* Widget() const;
  DrawnLabel& Label1() { return *label1_; }
  DrawnLabel& lblFrozen() { return *frozenLabel_; }
  QtTimer& Timer1() { return *timer1_; }
  QtTimer& Timer2() { return *timer2_; }

  double Dpi() const { return dpi_; }
  float PixelsToTwips(double pixels) const { return static_cast<float>(pixels * 1440.0 / dpi_); }
  double TwipsToPixels(double twips) const { return twips * dpi_ / 1440.0; }
  int TwipsToWholePixels(double twips) const;
  void Repaint(const QRect& area) const;

  // Runs one of the saver's handlers unless one is running already; false when
  // it did not run.
  bool Deliver(const std::function<void()>& handler);
  void DeliverKey(const QKeyEvent& event);
  void DeliverMouseAt(const QPoint& globalPosition, Qt::MouseButtons buttons);
  // False when a handler was running (a message box is open), so nothing ran.
  bool DeliverUnload();
  bool InHandler() const { return inHandler_; }

  void Paint(QPainter& painter, const QRect& area) const;

 private:
  QRect ScreenRect() const;  // the area the saver covers, in desktop pixels

  class Surface;
  SaverPlacement placement_;
  double dpi_ = 96;
  std::unique_ptr<QWindow> foreignParent_;  // outlives the surface parented to it
  std::unique_ptr<Surface> surface_;
  SaverEventHandlers handlers_;
  bool inHandler_ = false;
  std::unique_ptr<DrawnLabel> label1_;
  std::unique_ptr<DrawnLabel> frozenLabel_;
  std::unique_ptr<QtTimer> timer1_;
  std::unique_ptr<QtTimer> timer2_;
  std::unique_ptr<CoverWindows> covers_;
};

}  // namespace velun::qt
