#include "platform/qt/text_block.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QTextOption>
#include <algorithm>

#include "platform/qt/fonts.h"

namespace velun::qt {
namespace {

std::unique_ptr<QTextLayout> LayOutLine(const std::string& line, const QFont& font,
                                        QPaintDevice* device, Qt::LayoutDirection direction,
                                        Qt::Alignment alignment, double lineWidth) {
  auto layout = std::make_unique<QTextLayout>(ToQString(line), font, device);
  QTextOption option(alignment);
  option.setTextDirection(direction);
  option.setWrapMode(QTextOption::NoWrap);
  layout->setTextOption(option);
  layout->setCacheEnabled(true);  // keeps the shaped glyphs for drawing again
  layout->beginLayout();
  QTextLine textLine = layout->createLine();
  if (textLine.isValid()) {
    textLine.setLineWidth(lineWidth);
    textLine.setPosition(QPointF(0, 0));
  }
  layout->endLayout();
  return layout;
}

double NaturalWidth(const QTextLayout& layout) {
  return layout.lineCount() > 0 ? layout.lineAt(0).naturalTextWidth() : 0.0;
}

}  // namespace

std::vector<std::string> SplitLines(std::string_view text) {
  std::vector<std::string> lines(1);
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '\r' || c == '\n') {
      if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
      lines.emplace_back();
    } else {
      lines.back() += c;
    }
  }
  return lines;
}

TextBlock::TextBlock(const std::string& text, const QFont& font, QPaintDevice* device,
                     Qt::LayoutDirection direction) {
  if (text.empty()) return;
  lineHeight_ = QFontMetricsF(font, device).height();
  // First the natural width of every line, then each line laid out again in a
  // line as wide as the widest, aligned to its physical edge.
  width_ = TextWidth(text, font, device, direction);
  const Qt::Alignment alignment =
      (direction == Qt::RightToLeft ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignAbsolute;
  for (const std::string& line : SplitLines(text))
    layouts_.push_back(LayOutLine(line, font, device, direction, alignment, width_));
}

void TextBlock::Draw(QPainter& painter, const QPointF& topLeft) const {
  for (std::size_t i = 0; i < layouts_.size(); ++i)
    layouts_[i]->draw(&painter, topLeft + QPointF(0, lineHeight_ * static_cast<double>(i)));
}

double TextWidth(const std::string& text, const QFont& font, QPaintDevice* device,
                 Qt::LayoutDirection direction) {
  double width = 0;
  if (text.empty()) return 0;
  for (const std::string& line : SplitLines(text))
    width = std::max(width, NaturalWidth(*LayOutLine(line, font, device, direction,
                                                     Qt::AlignLeft | Qt::AlignAbsolute, 1e6)));
  return width;
}

}  // namespace velun::qt
