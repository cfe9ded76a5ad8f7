#pragma once
// Fonts for the saver window and its labels.
// Implemented:
//  [X] A GDI font made from face, point size, bold, italic, strike-through,
//      underline and character set, at a given DPI
//  [X] Read back as in effect: the face the system chose (GetTextFaceW) and size,
//      weight and styles from GetTextMetricsW, so a value read back is the real one
//  [X] FontHolderImpl: the core's FontHolder on top of it, for the window and labels
#include <windows.h>

#include <string>

#include "platform/win32/unicode_text.h"

namespace velun::win32 {

struct FontRequest {
  std::wstring face;
  float points = 8.0f;
  bool bold = false;
  bool italic = false;
  bool strikethru = false;
  bool underline = false;
  BYTE charset = DEFAULT_CHARSET;
};

class GdiFont {
 public:
  GdiFont(const FontRequest& request, int dpi);
  GdiFont(const GdiFont&) = delete;
  GdiFont& operator=(const GdiFont&) = delete;
  ~GdiFont();

  // Makes the font anew after a change of the request.
  void Update(const FontRequest& request);

  HFONT Handle() const { return font_; }
  const FontRequest& Request() const { return request_; }
  const FontRequest& InEffect() const { return inEffect_; }
  int LineHeightPixels() const { return lineHeight_; }
  int Dpi() const { return dpi_; }

 private:
  void Create();

  FontRequest request_;
  FontRequest inEffect_;
  int dpi_;
  HFONT font_ = nullptr;
  int lineHeight_ = 0;
};

// The core's font properties, each taking effect at once; Base is the core's
// interface (SaverWindow or Label). FontChanged tells the owner to re-measure.
template <typename Base>
class FontHolderImpl : public Base {
 public:
  FontHolderImpl(const FontRequest& request, int dpi) : font_(request, dpi) {}

  void SetFontName(const std::string& name) override { Change([&](FontRequest& r) { r.face = Utf8ToWide(name); }); }
  void SetFontSize(float points) override { Change([&](FontRequest& r) { r.points = points; }); }
  void SetFontBold(bool bold) override { Change([&](FontRequest& r) { r.bold = bold; }); }
  void SetFontItalic(bool italic) override { Change([&](FontRequest& r) { r.italic = italic; }); }
  void SetFontStrikethru(bool s) override { Change([&](FontRequest& r) { r.strikethru = s; }); }
  void SetFontUnderline(bool u) override { Change([&](FontRequest& r) { r.underline = u; }); }
  std::string FontName() const override { return WideToUtf8(font_.InEffect().face); }
  float FontSize() const override { return font_.InEffect().points; }
  bool FontBold() const override { return font_.InEffect().bold; }
  bool FontItalic() const override { return font_.InEffect().italic; }
  bool FontStrikethru() const override { return font_.InEffect().strikethru; }
  bool FontUnderline() const override { return font_.InEffect().underline; }

 protected:
  template <typename Edit>
  void Change(Edit edit) {
    FontRequest request = font_.Request();
    edit(request);
    font_.Update(request);
    FontChanged();
  }
  virtual void FontChanged() {}

  GdiFont font_;
};

}  // namespace velun::win32
