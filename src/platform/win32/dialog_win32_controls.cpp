#include "platform/win32/dialog_win32_controls.h"

#include <commctrl.h>
#include <oleauto.h>

#include "platform/win32/unicode_text.h"
#include "startup/failure.h"

namespace velun::win32 {

namespace {
constexpr int kTwipsPerInch = 1440;
}  // namespace

int TwipsToPixels(int twips, int dpi) { return MulDiv(twips, dpi, kTwipsPerInch); }

// ---------------------------------------------------------------------------
// The dialog window

float DialogWindowWin32::PixelsToTwips(int pixels) const {
  return static_cast<float>(pixels) * kTwipsPerInch / static_cast<float>(dpi_);
}

float DialogWindowWin32::ScreenWidth() const {
  return PixelsToTwips(GetSystemMetrics(SM_CXSCREEN));
}

float DialogWindowWin32::ScreenHeight() const {
  return PixelsToTwips(GetSystemMetrics(SM_CYSCREEN));
}

float DialogWindowWin32::Width() const {
  RECT outer{};
  GetWindowRect(window_, &outer);
  return PixelsToTwips(outer.right - outer.left);
}

float DialogWindowWin32::Height() const {
  RECT outer{};
  GetWindowRect(window_, &outer);
  return PixelsToTwips(outer.bottom - outer.top);
}

void DialogWindowWin32::Move(std::int32_t left, std::int32_t top) {
  SetWindowPos(window_, nullptr, TwipsToPixels(left, dpi_), TwipsToPixels(top, dpi_), 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// ---------------------------------------------------------------------------
// The pick-only lists

void ComboDropDownList::AddItem(const std::string& text) {
  const LRESULT added = SendMessageW(combo_, CB_ADDSTRING, 0,
                                     reinterpret_cast<LPARAM>(Utf8ToWide(text).c_str()));
  if (added == CB_ERR || added == CB_ERRSPACE) RaiseInvalidArgument();
}

void ComboDropDownList::SetItemData(std::int32_t position, std::int32_t data) {
  if (SendMessageW(combo_, CB_SETITEMDATA, static_cast<WPARAM>(position),
                   static_cast<LPARAM>(data)) == CB_ERR)
    RaiseSubscriptOutOfRange();
}

void ComboDropDownList::SetSelectedIndex(std::int32_t position) {
  // CB_SETCURSEL answers CB_ERR both for -1 (nothing selected, as asked) and for
  // a position that does not exist.
  if (position != -1 && (position < 0 || position >= Count())) RaiseSubscriptOutOfRange();
  SendMessageW(combo_, CB_SETCURSEL, static_cast<WPARAM>(position), 0);
}

std::int32_t ComboDropDownList::SelectedIndex() const {
  const LRESULT selected = SendMessageW(combo_, CB_GETCURSEL, 0, 0);
  return selected == CB_ERR ? -1 : static_cast<std::int32_t>(selected);
}

std::int32_t ComboDropDownList::Count() const {
  const LRESULT count = SendMessageW(combo_, CB_GETCOUNT, 0, 0);
  return count == CB_ERR ? 0 : static_cast<std::int32_t>(count);
}

std::int32_t ComboDropDownList::SelectedItemData() const {
  const std::int32_t selected = SelectedIndex();
  if (selected < 0) RaiseSubscriptOutOfRange();
  // The item data holds the code the program put there, a 32-bit number.
  return static_cast<std::int32_t>(
      SendMessageW(combo_, CB_GETITEMDATA, static_cast<WPARAM>(selected), 0));
}

// ---------------------------------------------------------------------------
// The time-delay box

std::string EditTextBox::Text() const {
  const int length = GetWindowTextLengthW(edit_);
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  const int got = GetWindowTextW(edit_, text.data(), length + 1);
  text.resize(static_cast<std::size_t>(got > 0 ? got : 0));
  return WideToUtf8(text);
}

void EditTextBox::SetText(const std::string& text) {
  SetWindowTextW(edit_, Utf8ToWide(text).c_str());
}

// ---------------------------------------------------------------------------
// The speed slider

std::int32_t TrackBarSlider::Value() const {
  return static_cast<std::int32_t>(SendMessageW(trackBar_, TBM_GETPOS, 0, 0));
}

void TrackBarSlider::SetValue(std::int32_t value) {
  // The track bar keeps the position within its range and sends no notification.
  SendMessageW(trackBar_, TBM_SETPOS, TRUE, value);
}

void TrackBarSlider::SetRange(std::int32_t min, std::int32_t max) {
  SendMessageW(trackBar_, TBM_SETRANGEMIN, FALSE, min);
  SendMessageW(trackBar_, TBM_SETRANGEMAX, TRUE, max);
}

void TrackBarSlider::SetSmallChange(std::int32_t step) {
  SendMessageW(trackBar_, TBM_SETLINESIZE, 0, step);
}

void TrackBarSlider::SetLargeChange(std::int32_t step) {
  SendMessageW(trackBar_, TBM_SETPAGESIZE, 0, step);
}

void TrackBarSlider::SetTickFrequency(std::int32_t every) {
  SendMessageW(trackBar_, TBM_SETTICFREQ, static_cast<WPARAM>(every), 0);
}

// ---------------------------------------------------------------------------
// The numeric test

std::optional<double> VariantNumberParser::Parse(std::string_view text) const {
  std::wstring wide = Utf8ToWide(text);
  double value = 0;
  if (FAILED(VarR8FromStr(wide.data(), LOCALE_USER_DEFAULT, 0, &value))) return std::nullopt;
  return value;
}

}  // namespace velun::win32
