#include "platform/win32/choosers.h"

#include <commdlg.h>

#include <cmath>
#include <cwchar>

#include "platform/win32/unicode_text.h"
#include "startup/failure.h"

namespace velun::win32 {

namespace {

// The chooser's custom colours, remembered from one opening to the next.
COLORREF g_customColors[16] = {
    RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255),
    RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255),
    RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255),
    RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255)};

// A chooser answers FALSE both for the user's Cancel (no extended error) and
// when it could not open.
void RaiseUnlessCancelled() {
  if (CommDlgExtendedError() != 0) RaiseInvalidArgument();
}

// The chooser turns LOGFONT heights into points with the screen's own pixels per
// inch; the program does the same so that a size comes back as it went in.
int ScreenPixelsPerInch() {
  HDC screen = GetDC(nullptr);
  const int perInch = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  return perInch > 0 ? perInch : 96;
}

}  // namespace

LONG FontHeightForPoints(float points, int pixelsPerInch) {
  // A negative height asks for the character height (the em), as point sizes mean.
  return -static_cast<LONG>(std::lround(points * static_cast<float>(pixelsPerInch) / 72.0f));
}

std::optional<std::int32_t> SystemChoosers::ShowColor(std::int32_t flags, std::int32_t color) {
  CHOOSECOLORW chooser{};
  chooser.lStructSize = sizeof chooser;
  chooser.hwndOwner = owner_;
  chooser.rgbResult = static_cast<COLORREF>(color);
  chooser.lpCustColors = g_customColors;
  chooser.Flags = static_cast<DWORD>(flags);
  if (!ChooseColorW(&chooser)) {
    RaiseUnlessCancelled();
    return std::nullopt;
  }
  return static_cast<std::int32_t>(chooser.rgbResult);
}

std::optional<FontChoice> SystemChoosers::ShowFont(std::int32_t flags, std::int16_t min,
                                                   std::int16_t max, const FontChoice& start) {
  const int perInch = ScreenPixelsPerInch();
  LOGFONTW font{};
  font.lfHeight = FontHeightForPoints(start.FontSize, perInch);
  font.lfWeight = start.FontBold ? FW_BOLD : FW_NORMAL;
  font.lfItalic = start.FontItalic ? TRUE : FALSE;
  font.lfUnderline = start.FontUnderline ? TRUE : FALSE;
  font.lfStrikeOut = start.FontStrikethru ? TRUE : FALSE;
  font.lfCharSet = DEFAULT_CHARSET;
  const std::wstring face = Utf8ToWide(start.FontName);
  wcsncpy(font.lfFaceName, face.c_str(), LF_FACESIZE - 1);

  CHOOSEFONTW chooser{};
  chooser.lStructSize = sizeof chooser;
  chooser.hwndOwner = owner_;
  chooser.lpLogFont = &font;
  // The chooser opens on the font described above.
  chooser.Flags = static_cast<DWORD>(flags) | CF_INITTOLOGFONTSTRUCT;
  chooser.nSizeMin = min;
  chooser.nSizeMax = max;
  if (!ChooseFontW(&chooser)) {
    RaiseUnlessCancelled();
    return std::nullopt;
  }

  FontChoice chosen;
  chosen.FontName = WideToUtf8(font.lfFaceName);
  // iPointSize counts tenths of a point: 105 is 10.5 points.
  chosen.FontSize = static_cast<float>(chooser.iPointSize) / 10.0f;
  chosen.FontBold = font.lfWeight >= FW_SEMIBOLD;
  chosen.FontItalic = font.lfItalic != FALSE;
  chosen.FontUnderline = font.lfUnderline != FALSE;
  chosen.FontStrikethru = font.lfStrikeOut != FALSE;
  return chosen;
}

}  // namespace velun::win32
