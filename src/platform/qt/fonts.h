#pragma once
// Fonts of the saver window and its labels.
// Implemented:
//  [X] "Traditional Arabic", the stored default, is not a Linux font: it is mapped to
//      an installed Naskh face (Noto Naskh Arabic first, then Amiri and others)
//      before fontconfig's own fallback; any other family takes the normal fallback
//  [X] QtFontHolder: the core's FontHolder on a QFont; each property takes effect
//      at once and reads back as in effect (QFontInfo: the family really used, its
//      size, weight and styles)
//  [X] Grey-scale anti-aliasing: the verse is drawn in its one colour, never with
//      the coloured fringes of sub-pixel rendering
#include <QFont>
#include <QFontInfo>
#include <QStringList>
#include <string>

namespace velun::qt {

void InstallFontSubstitutions();

inline QString ToQString(const std::string& text) { return QString::fromUtf8(text); }
inline std::string ToUtf8(const QString& text) { return text.toUtf8().toStdString(); }

// The core's font properties on a QFont; Base is the core's interface
// (SaverWindow or Label). FontChanged tells the owner to lay out anew.
template <typename Base>
class QtFontHolder : public Base {
 public:
  explicit QtFontHolder(const QFont& font) : font_(font) {
    font_.setStyleStrategy(QFont::NoSubpixelAntialias);
  }

  void SetFontName(const std::string& name) override { Change([&] { font_.setFamilies(QStringList(ToQString(name))); }); }
  void SetFontSize(float points) override {
    // Qt keeps its size for a size of zero or less, as the label keeps its font.
    if (points > 0) Change([&] { font_.setPointSizeF(points); });
  }
  void SetFontBold(bool bold) override { Change([&] { font_.setBold(bold); }); }
  void SetFontItalic(bool italic) override { Change([&] { font_.setItalic(italic); }); }
  void SetFontStrikethru(bool s) override { Change([&] { font_.setStrikeOut(s); }); }
  void SetFontUnderline(bool u) override { Change([&] { font_.setUnderline(u); }); }
  std::string FontName() const override { return ToUtf8(QFontInfo(font_).family()); }
  float FontSize() const override { return static_cast<float>(QFontInfo(font_).pointSizeF()); }
  bool FontBold() const override { return QFontInfo(font_).bold(); }
  bool FontItalic() const override { return QFontInfo(font_).italic(); }
  bool FontStrikethru() const override { return QFontInfo(font_).strikeOut(); }
  bool FontUnderline() const override { return QFontInfo(font_).underline(); }

  const QFont& Font() const { return font_; }

 protected:
  template <typename Edit>
  void Change(Edit edit) {
    edit();
    FontChanged();
  }
  virtual void FontChanged() {}

  QFont font_;
};

}  // namespace velun::qt
