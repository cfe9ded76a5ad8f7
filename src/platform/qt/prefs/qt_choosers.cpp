#include "platform/qt/prefs/qt_choosers.h"

#include <QColorDialog>
#include <QFontInfo>
#include <QMessageBox>
#include <QPointer>

namespace velun::qt {

LimitedFontDialog::LimitedFontDialog(QWidget* parent, qreal minSize, qreal maxSize,
                                     bool limitSize)
    : QFontDialog(parent), minSize_(minSize), maxSize_(maxSize), limitSize_(limitSize) {
  setOption(QFontDialog::DontUseNativeDialog);
  setWindowTitle(QString::fromUtf8(kFontChooserTitle));
}

void LimitedFontDialog::done(int result) {
  if (result == QDialog::Accepted && limitSize_) {
    const qreal size = currentFont().pointSizeF();
    if (size < minSize_ || size > maxSize_) {
      QMessageBox::warning(this, QString::fromUtf8(kFontChooserTitle),
                           FontSizeLimitsMessage(minSize_, maxSize_));
      return;  // the chooser stays open with the user's choice
    }
  }
  QFontDialog::done(result);
}

QString FontSizeLimitsMessage(qreal minSize, qreal maxSize) {
  return QStringLiteral("Size must be between %1 and %2 points.").arg(minSize).arg(maxSize);
}

std::optional<std::int32_t> QtChoosers::ShowColor(std::int32_t flags, std::int32_t color) {
  QColor initial(Qt::black);
  if ((flags & kColorRgbInit) != 0)
    initial = QColor(color & 0xFF, (color >> 8) & 0xFF, (color >> 16) & 0xFF);
  QPointer<QColorDialog> chooser = new QColorDialog(initial, owner_);
  chooser->setOption(QColorDialog::DontUseNativeDialog);
  chooser->setWindowTitle(QString::fromUtf8(kColorChooserTitle));
  const int answer = chooser->exec();
  if (chooser == nullptr) return std::nullopt;  // closed with its owner
  const QColor chosen = chooser->selectedColor();
  delete chooser;
  if (answer != QDialog::Accepted || !chosen.isValid()) return std::nullopt;
  return static_cast<std::int32_t>(chosen.red() | (chosen.green() << 8) | (chosen.blue() << 16));
}

std::optional<FontChoice> QtChoosers::ShowFont(std::int32_t flags, std::int16_t min,
                                               std::int16_t max, const FontChoice& start) {
  QFont font(QString::fromStdString(start.FontName));
  if (start.FontSize > 0) font.setPointSizeF(start.FontSize);
  font.setBold(start.FontBold);
  font.setItalic(start.FontItalic);
  font.setUnderline(start.FontUnderline);
  font.setStrikeOut(start.FontStrikethru);
  // A stored face that is not installed is drawn with a substitute: the chooser
  // opens on the face actually drawn, so that only installed faces come back.
  font.setFamily(QFontInfo(font).family());

  QPointer<LimitedFontDialog> chooser =
      new LimitedFontDialog(owner_, min, max, (flags & kFontLimitSize) != 0);
  chooser->setCurrentFont(font);
  const int answer = chooser->exec();
  if (chooser == nullptr) return std::nullopt;
  const QFont chosen = chooser->selectedFont();
  delete chooser;
  if (answer != QDialog::Accepted) return std::nullopt;

  FontChoice choice;
  choice.FontName = chosen.family().toStdString();
  choice.FontSize = static_cast<float>(chosen.pointSizeF());
  choice.FontBold = chosen.weight() >= QFont::DemiBold;
  choice.FontItalic = chosen.italic();
  choice.FontUnderline = chosen.underline();
  choice.FontStrikethru = chosen.strikeOut();
  return choice;
}

}  // namespace velun::qt
