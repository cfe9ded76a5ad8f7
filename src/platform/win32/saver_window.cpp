#include "platform/win32/saver_window.h"

#include <algorithm>
#include <cmath>

#include "platform/win32/text_shaping.h"

namespace velun::win32 {
namespace {

constexpr wchar_t kWindowClass[] = L"VelunSaverWindow";
constexpr wchar_t kWindowCaption[] = L"Velun Saver";

FontRequest VerseLabelFont() {
  FontRequest font;
  font.face = L"Traditional Arabic";
  font.points = 16.2f;
  font.charset = 178;  // Arabic
  return font;
}

// The platform's default dialog font, for the frozen notice.
FontRequest DialogFont() {
  FontRequest font;
  LOGFONTW logFont{};
  if (GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof logFont, &logFont) != 0) {
    font.face = logFont.lfFaceName;
    font.charset = logFont.lfCharSet;
  } else {
    font.face = L"MS Shell Dlg";
  }
  font.points = 8.0f;
  return font;
}

}  // namespace

int PrimaryMonitorDpi() {
  // GetDpiForMonitor comes with Windows 8.1; older systems give the system DPI.
  using GetDpiForMonitorFunction = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);
  if (HMODULE shcore = LoadLibraryW(L"shcore.dll")) {
    auto getDpi = reinterpret_cast<GetDpiForMonitorFunction>(
        reinterpret_cast<void*>(GetProcAddress(shcore, "GetDpiForMonitor")));
    UINT x = 0, y = 0;
    const HMONITOR primary = MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY);
    if (getDpi != nullptr && SUCCEEDED(getDpi(primary, 0 /* effective DPI */, &x, &y)) && y > 0)
      return static_cast<int>(y);
  }
  HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  return dpi > 0 ? dpi : 96;
}

std::int16_t CurrentShiftState() {
  std::int16_t shift = 0;
  if (GetKeyState(VK_SHIFT) < 0) shift |= 1;
  if (GetKeyState(VK_CONTROL) < 0) shift |= 2;
  if (GetKeyState(VK_MENU) < 0) shift |= 4;
  return shift;
}

// ---------------------------------------------------------------------------
// Labels

DrawnLabel::DrawnLabel(SaverWindowWin32& owner, Style style, const FontRequest& font, int dpi)
    : FontHolderImpl<velun::Label>(font, dpi), owner_(owner), style_(style) {
  Measure();
}

void DrawnLabel::SetCaption(const std::string& caption) {
  caption_ = caption;
  Measure();
  Changed();
}

void DrawnLabel::Measure() {
  // Shaped once per caption and font; every frame of a slide draws these.
  lines_.clear();
  widestLine_ = 0;
  HDC dc = owner_.DrawingDc();
  HGDIOBJ old = SelectObject(dc, font_.Handle());
  for (const std::wstring& line : SplitLines(Utf8ToWide(caption_))) {
    lines_.emplace_back(dc, line);
    widestLine_ = std::max(widestLine_, lines_.back().Width());
  }
  SelectObject(dc, old);
}

void DrawnLabel::FontChanged() {
  Measure();
  Changed();
}

RECT DrawnLabel::Extent() const {
  if (!visible_) return RECT{0, 0, 0, 0};
  const int left = owner_.TwipsToPixels(left_);
  const int top = owner_.TwipsToPixels(top_);
  const int lineHeight = font_.LineHeightPixels();
  int width = widestLine_;
  int height = lineHeight * static_cast<int>(lines_.size());
  if (style_ == Style::Notice) {
    width = std::max(owner_.TwipsToPixels(fixedWidth_), width);
    height = std::max(owner_.TwipsToPixels(fixedHeight_), height);
  }
  if (width <= 0 || height <= 0) return RECT{0, 0, 0, 0};
  return RECT{left - lineHeight, top - lineHeight, left + width + lineHeight,
              top + height + lineHeight};
}

void DrawnLabel::Changed() {
  owner_.Invalidate(shown_);
  shown_ = Extent();
  owner_.Invalidate(shown_);
}

float DrawnLabel::Width() const {
  if (style_ == Style::Notice) return static_cast<float>(fixedWidth_);
  return owner_.PixelsToTwips(widestLine_);
}

float DrawnLabel::Height() const {
  if (style_ == Style::Notice) return static_cast<float>(fixedHeight_);
  return owner_.PixelsToTwips(static_cast<double>(font_.LineHeightPixels()) *
                              static_cast<double>(lines_.size()));
}

void DrawnLabel::Move(std::int32_t left, std::int32_t top) {
  left_ = left;
  top_ = top;
  Changed();
}

void DrawnLabel::SetForeColor(std::int32_t color) {
  // The colour's low byte is red, then green, then blue: the order of a COLORREF.
  color_ = static_cast<COLORREF>(color) & 0x00FFFFFF;
  Changed();
}

void DrawnLabel::SetVisible(bool visible) {
  if (visible_ == visible) return;
  visible_ = visible;
  Changed();
}

void DrawnLabel::SetFontCharset(int charset) {
  Change([&](FontRequest& r) { r.charset = static_cast<BYTE>(charset); });
}

void DrawnLabel::SetBounds(std::int32_t left, std::int32_t top, std::int32_t width,
                           std::int32_t height) {
  left_ = left;
  top_ = top;
  fixedWidth_ = width;
  fixedHeight_ = height;
  Changed();
}

void DrawnLabel::Paint(HDC dc) const {
  // dc is the window's drawing dc, in which the lines were shaped.
  if (!visible_) return;
  const int left = owner_.TwipsToPixels(left_);
  const int top = owner_.TwipsToPixels(top_);
  const int lineHeight = font_.LineHeightPixels();
  HGDIOBJ old = SelectObject(dc, font_.Handle());
  if (style_ == Style::Notice) {
    // The notice in the dialog colours; a font wider than its bounds widens it
    // rather than cutting the text off.
    RECT box{left, top, left + std::max(owner_.TwipsToPixels(fixedWidth_), widestLine_),
             top + std::max(owner_.TwipsToPixels(fixedHeight_),
                            lineHeight * static_cast<int>(lines_.size()))};
    FillRect(dc, &box, GetSysColorBrush(COLOR_BTNFACE));
    SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
    SetBkMode(dc, TRANSPARENT);
    for (std::size_t i = 0; i < lines_.size(); ++i)
      lines_[i].Draw(left, top + static_cast<int>(i) * lineHeight);
  } else {
    SetTextColor(dc, color_);
    SetBkMode(dc, TRANSPARENT);
    const int right = left + widestLine_;
    for (std::size_t i = 0; i < lines_.size(); ++i)
      lines_[i].Draw(right - lines_[i].Width(), top + static_cast<int>(i) * lineHeight);
  }
  SelectObject(dc, old);
}

// ---------------------------------------------------------------------------
// Timers

void WindowTimer::Arm() {
  if (enabled_ && interval_ > 0)
    SetTimer(window_, id_, static_cast<UINT>(interval_), nullptr);
  else
    KillTimer(window_, id_);
}

void WindowTimer::SetInterval(std::int32_t milliseconds) {
  interval_ = milliseconds;
  Arm();  // a running timer starts a full new interval
}

void WindowTimer::SetEnabled(bool enabled) {
  if (enabled_ == enabled) return;  // a running timer keeps its interval going
  enabled_ = enabled;
  Arm();
}

// ---------------------------------------------------------------------------
// The window

SaverWindowWin32::SaverWindowWin32(HINSTANCE instance)
    : FontHolderImpl<velun::SaverWindow>(VerseLabelFont(), PrimaryMonitorDpi()) {
  dpi_ = font_.Dpi();
  drawingDc_ = CreateCompatibleDC(nullptr);
  originalBitmap_ = GetCurrentObject(drawingDc_, OBJ_BITMAP);

  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = WindowProc;
  windowClass.hInstance = instance;
  windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  windowClass.hbrBackground = nullptr;  // everything is painted from the back buffer
  windowClass.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(1));
  windowClass.lpszClassName = kWindowClass;
  RegisterClassExW(&windowClass);

  window_ = CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, kWindowClass, kWindowCaption,
                            WS_POPUP, 0, 0, GetSystemMetrics(SM_CXSCREEN),
                            GetSystemMetrics(SM_CYSCREEN), nullptr, nullptr, instance, this);

  label1_ = std::make_unique<DrawnLabel>(*this, DrawnLabel::Style::Verse, VerseLabelFont(), dpi_);
  frozenLabel_ = std::make_unique<DrawnLabel>(*this, DrawnLabel::Style::Notice, DialogFont(), dpi_);
  timer1_ = std::make_unique<WindowTimer>(window_, kTimer1Id);
  timer2_ = std::make_unique<WindowTimer>(window_, kTimer2Id);
}

SaverWindowWin32::~SaverWindowWin32() {
  if (window_ != nullptr) {
    SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
    DestroyWindow(window_);
  }
  label1_.reset();  // their shaped lines belong to the drawing dc
  frozenLabel_.reset();
  if (drawingDc_ != nullptr) {
    SelectObject(drawingDc_, originalBitmap_);
    DeleteDC(drawingDc_);
  }
  if (backBuffer_ != nullptr) DeleteObject(backBuffer_);
}

float SaverWindowWin32::ScreenWidth() const { return PixelsToTwips(GetSystemMetrics(SM_CXSCREEN)); }
float SaverWindowWin32::ScreenHeight() const { return PixelsToTwips(GetSystemMetrics(SM_CYSCREEN)); }

int SaverWindowWin32::TwipsToPixels(double twips) const {
  return static_cast<int>(std::lround(twips * dpi_ / 1440.0));
}

void SaverWindowWin32::MoveAndSize(float left, float top, float width, float height) {
  SetWindowPos(window_, HWND_TOPMOST, TwipsToPixels(left), TwipsToPixels(top), TwipsToPixels(width),
               TwipsToPixels(height), SWP_NOACTIVATE);
}

void SaverWindowWin32::Clear() {
  if (window_ != nullptr) InvalidateRect(window_, nullptr, FALSE);
}

float SaverWindowWin32::MeasureText(const std::string& text) const {
  HGDIOBJ old = SelectObject(drawingDc_, font_.Handle());
  const int width = TextWidthPixels(drawingDc_, SplitLines(Utf8ToWide(text)));
  SelectObject(drawingDc_, old);
  return PixelsToTwips(width);
}

void SaverWindowWin32::Invalidate(const RECT& area) const {
  if (window_ != nullptr && !IsRectEmpty(&area)) InvalidateRect(window_, &area, FALSE);
}

void SaverWindowWin32::Show() {
  ShowWindow(window_, SW_SHOW);
  SetForegroundWindow(window_);
  SetFocus(window_);
  UpdateWindow(window_);
}

void SaverWindowWin32::Deliver(const std::function<void()>& handler) {
  // Handlers run one at a time: a message box inside one pumps messages, and
  // nothing may reach the saver from there.
  if (inHandler_ || !handler) return;
  inHandler_ = true;
  handler();
  inHandler_ = false;
}

void SaverWindowWin32::DeliverKey(WPARAM virtualKey) {
  const auto keyCode = static_cast<std::int16_t>(virtualKey & 0xFFFF);
  const std::int16_t shift = CurrentShiftState();
  Deliver([&] {
    if (handlers_.keyDown) handlers_.keyDown(keyCode, shift);
  });
}

void SaverWindowWin32::DeliverMouseAt(POINT screenPoint, WPARAM buttons) {
  // The saver sees positions relative to its own window, in twips.
  POINT client = screenPoint;
  ScreenToClient(window_, &client);
  std::int16_t button = 0;
  if (buttons & MK_LBUTTON) button |= 1;
  if (buttons & MK_RBUTTON) button |= 2;
  if (buttons & MK_MBUTTON) button |= 4;
  const std::int16_t shift = CurrentShiftState();
  const float x = PixelsToTwips(client.x);
  const float y = PixelsToTwips(client.y);
  Deliver([&] {
    if (handlers_.mouseMove) handlers_.mouseMove(button, shift, x, y);
  });
}

void SaverWindowWin32::DeliverUnload() {
  Deliver([&] {
    if (handlers_.unload) handlers_.unload();
  });
}

LRESULT CALLBACK SaverWindowWin32::WindowProc(HWND window, UINT message, WPARAM wParam,
                                              LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* self = reinterpret_cast<SaverWindowWin32*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (self == nullptr) return DefWindowProcW(window, message, wParam, lParam);
  if (self->window_ == nullptr) self->window_ = window;
  return self->Handle(message, wParam, lParam);
}

LRESULT SaverWindowWin32::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_ERASEBKGND:
      return 1;  // the back buffer paints every pixel
    case WM_PAINT:
      Paint();
      return 0;
    case WM_TIMER:
      // A tick already queued when its timer was stopped is dropped.
      if (wParam == kTimer1Id && timer1_ && timer1_->Enabled())
        Deliver(handlers_.timer1);
      else if (wParam == kTimer2Id && timer2_ && timer2_->Enabled())
        Deliver(handlers_.timer2);
      return 0;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:  // Alt and F10 come this way; they end the saver too
      DeliverKey(wParam);
      return 0;
    case WM_SYSCHAR:
    case WM_SYSKEYUP:
      return 0;  // no window menu to open
    case WM_MOUSEMOVE: {
      POINT point{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
      ClientToScreen(window_, &point);
      DeliverMouseAt(point, wParam);
      return 0;
    }
    case WM_SYSCOMMAND:
      switch (wParam & 0xFFF0) {
        case SC_SCREENSAVE:
          return 0;  // this is the screen saver already
        case SC_CLOSE:
          DeliverUnload();
          return 0;
        default:
          break;
      }
      break;
    case WM_CLOSE:
      DeliverUnload();
      return 0;
    default:
      break;
  }
  return DefWindowProcW(window_, message, wParam, lParam);
}

void SaverWindowWin32::Paint() {
  // Only the invalid part of the frame is made anew in the back buffer, which keeps
  // the rest of the last frame, and copied to the window in one go: no flicker, and
  // a frame is never seen half drawn.
  RECT client;
  GetClientRect(window_, &client);
  const SIZE size{client.right - client.left, client.bottom - client.top};
  const bool newBuffer =
      backBuffer_ == nullptr || size.cx != backBufferSize_.cx || size.cy != backBufferSize_.cy;
  if (newBuffer) InvalidateRect(window_, nullptr, FALSE);  // it holds nothing of the last frame
  HRGN invalid = CreateRectRgn(0, 0, 0, 0);
  GetUpdateRgn(window_, invalid, FALSE);
  PAINTSTRUCT paint;
  HDC windowDc = BeginPaint(window_, &paint);
  if (size.cx > 0 && size.cy > 0) {
    if (newBuffer) {
      HBITMAP buffer = CreateCompatibleBitmap(windowDc, size.cx, size.cy);
      SelectObject(drawingDc_, buffer);
      if (backBuffer_ != nullptr) DeleteObject(backBuffer_);
      backBuffer_ = buffer;
      backBufferSize_ = size;
    }
    SelectClipRgn(drawingDc_, invalid);
    FillRgn(drawingDc_, invalid, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    if (label1_) label1_->Paint(drawingDc_);
    if (frozenLabel_) frozenLabel_->Paint(drawingDc_);
    SelectClipRgn(drawingDc_, nullptr);
    const RECT& area = paint.rcPaint;
    BitBlt(windowDc, area.left, area.top, area.right - area.left, area.bottom - area.top,
           drawingDc_, area.left, area.top, SRCCOPY);
  }
  EndPaint(window_, &paint);
  DeleteObject(invalid);
}

}  // namespace velun::win32
