#pragma once
// Lines of text laid out with Qt's shaping and bidirectional algorithm.
// Implemented:
//  [X] The caption split at CR LF (and at a lone CR or LF) by this file: a carriage
//      return inside a laid-out string would drop a glyph
//  [X] One QTextLayout per line. The verse: a right-to-left paragraph, so Arabic is
//      joined and a line's punctuation stands at its left end, every line aligned
//      to the block's right edge (AlignRight | AlignAbsolute: without AlignAbsolute
//      Qt mirrors the alignment of right-to-left text). The notice: left to right,
//      aligned to the left edge
//  [X] Widths measured from the very layouts that are drawn; a block of text
//      measures as its widest line, the empty text as 0
//  [X] Laid out once per caption and font; every frame of a slide draws the same
//      layouts again
//  [ ] No word wrapping: the saver breaks its lines itself
#include <QFont>
#include <QPointF>
#include <QTextLayout>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class QPainter;
class QPaintDevice;

namespace velun::qt {

std::vector<std::string> SplitLines(std::string_view text);

class TextBlock {
 public:
  TextBlock() = default;
  // Lays out every line of text in font as drawn on device, in paragraphs of the
  // given direction, aligned to the right edge for right to left, else the left.
  TextBlock(const std::string& text, const QFont& font, QPaintDevice* device,
            Qt::LayoutDirection direction);

  double Width() const { return width_; }            // pixels, the widest line
  double LineHeight() const { return lineHeight_; }  // pixels
  std::size_t LineCount() const { return layouts_.size(); }
  double Height() const { return lineHeight_ * static_cast<double>(layouts_.size()); }

  // Draws the block with its top-left corner at topLeft, in the painter's pen.
  void Draw(QPainter& painter, const QPointF& topLeft) const;

 private:
  std::vector<std::unique_ptr<QTextLayout>> layouts_;
  double width_ = 0;
  double lineHeight_ = 0;
};

// Width in pixels of the widest line of text in font on device.
double TextWidth(const std::string& text, const QFont& font, QPaintDevice* device,
                 Qt::LayoutDirection direction);

}  // namespace velun::qt
