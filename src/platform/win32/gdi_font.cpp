#include "platform/win32/gdi_font.h"

#include <cmath>

namespace velun::win32 {

GdiFont::GdiFont(const FontRequest& request, int dpi) : request_(request), dpi_(dpi) { Create(); }

GdiFont::~GdiFont() {
  if (font_ != nullptr) DeleteObject(font_);
}

void GdiFont::Update(const FontRequest& request) {
  request_ = request;
  Create();
}

void GdiFont::Create() {
  LOGFONTW logFont{};
  // A negative height asks for the character (em) height, which is what a point size means.
  const double emPixels = std::fabs(static_cast<double>(request_.points)) * dpi_ / 72.0;
  logFont.lfHeight = -static_cast<LONG>(std::lround(emPixels < 1.0 ? 1.0 : emPixels));
  logFont.lfWeight = request_.bold ? FW_BOLD : FW_NORMAL;
  logFont.lfItalic = request_.italic ? TRUE : FALSE;
  logFont.lfUnderline = request_.underline ? TRUE : FALSE;
  logFont.lfStrikeOut = request_.strikethru ? TRUE : FALSE;
  logFont.lfCharSet = request_.charset;
  logFont.lfOutPrecision = OUT_TT_PRECIS;
  logFont.lfQuality = ANTIALIASED_QUALITY;
  lstrcpynW(logFont.lfFaceName, request_.face.c_str(), LF_FACESIZE);

  HFONT created = CreateFontIndirectW(&logFont);
  if (created == nullptr) created = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  if (font_ != nullptr) DeleteObject(font_);
  font_ = created;

  // What the system really made of the request.
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, font_);
  wchar_t face[LF_FACESIZE] = {};
  GetTextFaceW(dc, LF_FACESIZE, face);
  TEXTMETRICW metrics{};
  GetTextMetricsW(dc, &metrics);
  SelectObject(dc, old);
  DeleteDC(dc);

  inEffect_ = request_;
  if (face[0] != L'\0') inEffect_.face = face;
  // A size takes effect in whole pixels: 16.2 points at 96 DPI is 22 pixels, which
  // reads back as 16.5 points and gives the same font when asked for again.
  inEffect_.points = static_cast<float>(-logFont.lfHeight * 72.0 / dpi_);
  inEffect_.bold = metrics.tmWeight >= FW_SEMIBOLD;
  inEffect_.italic = metrics.tmItalic != 0;
  inEffect_.underline = metrics.tmUnderlined != 0;
  inEffect_.strikethru = metrics.tmStruckOut != 0;
  inEffect_.charset = metrics.tmCharSet;
  lineHeight_ = metrics.tmHeight > 0 ? metrics.tmHeight : static_cast<int>(std::lround(emPixels));
}

}  // namespace velun::win32
