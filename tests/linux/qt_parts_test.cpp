// The Qt parts of the Linux program, on Qt's offscreen platform: right-to-left lines
// as drawn, the screens to cover, key codes, the timer floor and the cursor count.
#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QPainter>
#include <cstdlib>

#include "platform/qt/cover_windows.h"
#include "platform/qt/fonts.h"
#include "platform/qt/key_codes.h"
#include "platform/qt/system_services.h"
#include "platform/qt/text_block.h"
#include "platform/qt/timer.h"

namespace velun::qt {
namespace {

// Columns [left, right) of the ink in rows [top, bottom), or {-1, -1}.
std::pair<int, int> InkColumns(const QImage& image, int top, int bottom) {
  int left = image.width(), right = -1;
  for (int y = std::max(top, 0); y < std::min(bottom, image.height()); ++y)
    for (int x = 0; x < image.width(); ++x)
      if (qRed(image.pixel(x, y)) > 40) {
        left = std::min(left, x);
        right = std::max(right, x + 1);
      }
  return right < 0 ? std::pair{-1, -1} : std::pair{left, right};
}

QImage Drawn(const TextBlock& block) {
  QImage image(static_cast<int>(block.Width()) + 40, static_cast<int>(block.Height()) + 20,
               QImage::Format_RGB32);
  image.fill(Qt::black);
  QPainter painter(&image);
  painter.setPen(Qt::red);
  block.Draw(painter, QPointF(20, 10));
  return image;
}

QFont VerseFont() {
  QFont font("Traditional Arabic");
  font.setPointSizeF(30);
  return font;
}

const std::string kWords = "\xd8\xb4\xd9\x81 \xd8\xac\xd8\xb1\xd9\x8a\xd9\x86 \xd9\x86\xd8\xae\xd9\x8a";  // three Arabic words
const std::string kComma = "\xd8\x8c";  // U+060C

TEST(TextBlockTest, LinesAreSplitAtCrLfAndAtLoneBreaksWhichAreNeverMeasured) {
  EXPECT_EQ(SplitLines("a\r\nb"), (std::vector<std::string>{"a", "b"}));
  EXPECT_EQ(SplitLines("a\rb\nc\r\n"), (std::vector<std::string>{"a", "b", "c", ""}));
  EXPECT_EQ(SplitLines(""), (std::vector<std::string>{""}));
  QImage device(10, 10, QImage::Format_RGB32);
  const QFont font = VerseFont();
  const double first = TextWidth(kWords, font, &device, Qt::RightToLeft);
  const double second = TextWidth(kWords + " " + kWords, font, &device, Qt::RightToLeft);
  EXPECT_GT(first, 0);
  EXPECT_DOUBLE_EQ(TextWidth(kWords + "\r\n" + kWords + " " + kWords, font, &device,
                             Qt::RightToLeft), second);
  EXPECT_DOUBLE_EQ(TextWidth(kWords + "\r", font, &device, Qt::RightToLeft), first);
  EXPECT_EQ(TextWidth("", font, &device, Qt::RightToLeft), 0);
}

TEST(TextBlockTest, RightToLeftLinesEndOnTheRightEdgeWithTheirCommaAtTheLeftEnd) {
  InstallFontSubstitutions();
  QImage device(10, 10, QImage::Format_RGB32);
  const std::string longLine = kWords + " " + kWords + " " + kWords;
  const TextBlock plain(longLine + "\r\n" + kWords, VerseFont(), &device, Qt::RightToLeft);
  const TextBlock comma(longLine + "\r\n" + kWords + kComma, VerseFont(), &device,
                        Qt::RightToLeft);
  ASSERT_EQ(plain.LineCount(), 2u);
  EXPECT_DOUBLE_EQ(plain.Height(), 2 * plain.LineHeight());
  EXPECT_DOUBLE_EQ(plain.Width(), TextWidth(longLine, VerseFont(), &device, Qt::RightToLeft));
  const QImage a = Drawn(plain), b = Drawn(comma);
  const int lineHeight = static_cast<int>(plain.LineHeight());
  const auto aFirst = InkColumns(a, 10, 10 + lineHeight);
  const auto aSecond = InkColumns(a, 10 + lineHeight, 10 + 2 * lineHeight);
  const auto bSecond = InkColumns(b, 10 + lineHeight, 10 + 2 * lineHeight);
  const double rightEdge = 20 + plain.Width();
  EXPECT_NEAR(aFirst.second, rightEdge, 3);
  EXPECT_NEAR(aSecond.second, rightEdge, 3) << "the short line is not on the right edge";
  EXPECT_NEAR(bSecond.second, aSecond.second, 1) << "the comma moved the right end";
  EXPECT_LE(bSecond.first, aSecond.first - 3) << "the comma is not at the left end";
  // The line's beginning, on the right, is the same ink with or without the comma.
  int differing = 0;
  for (int y = 10 + lineHeight; y < 10 + 2 * lineHeight; ++y)
    for (int x = aSecond.second - lineHeight; x < aSecond.second; ++x)
      differing += a.pixel(x, y) != b.pixel(x, y);
  EXPECT_EQ(differing, 0) << "the comma is drawn on the right";
}

TEST(TextBlockTest, TheNoticeReadsLeftToRightFromItsLeftEdge) {
  QImage device(10, 10, QImage::Format_RGB32);
  const TextBlock notice("Velun Saver is frozen.\r\nS", QApplication::font(), &device,
                         Qt::LeftToRight);
  const QImage image = Drawn(notice);
  const int lineHeight = static_cast<int>(notice.LineHeight());
  EXPECT_NEAR(InkColumns(image, 10 + lineHeight, 10 + 2 * lineHeight).first, 20, 3);
}

TEST(CoverTest, EveryOtherScreenIsCoveredOnceButNotOneInsideTheSaversOwn) {
  const QRect saver(0, 0, 1280, 1024);
  EXPECT_TRUE(ScreensToCover(saver, {{saver, 0}}).empty());
  EXPECT_EQ(ScreensToCover(saver, {{saver, 0}, {QRect(1280, 0, 800, 600), 0}}),
            (std::vector<std::size_t>{1}));
  // A mirror of the saver's screen, and a second mirror of a covered one.
  EXPECT_EQ(ScreensToCover(saver, {{QRect(0, 0, 800, 600), 0},
                                   {QRect(-800, 0, 800, 600), 0},
                                   {QRect(-800, 0, 800, 600), 0}}),
            (std::vector<std::size_t>{1}));
  // Another X screen shares no coordinates with the saver's: covered at (0, 0) too.
  EXPECT_EQ(ScreensToCover(saver, {{saver, 0}, {QRect(0, 0, 800, 600), 2}}),
            (std::vector<std::size_t>{1}));
}

TEST(KeyCodeTest, KeysGiveTheirWindowsCodesAndOnlyTheSPlaceGives83) {
  EXPECT_EQ(VirtualKeyCode(Qt::Key_S), 83);
  EXPECT_EQ(VirtualKeyCode(Qt::Key_X), 88);
  EXPECT_EQ(VirtualKeyCode(Qt::Key_5), 53);
  EXPECT_EQ(VirtualKeyCode(Qt::Key_Shift), 16);
  EXPECT_EQ(VirtualKeyCode(Qt::Key_Control), 17);
  EXPECT_EQ(VirtualKeyCode(Qt::Key_Alt), 18);
  EXPECT_EQ(VirtualKeyCode(Qt::Key_F1), 112);
  EXPECT_EQ(VirtualKeyCode(Qt::Key_Escape), 27);
  // The S place under an Arabic layout gives a letter that is not S.
  const QKeyEvent arabicS(QEvent::KeyPress, 0x633, Qt::NoModifier, 39, 0x6d3, 0, "\u0633");
  EXPECT_EQ(VirtualKeyCode(arabicS), 83);
  const QKeyEvent arabicD(QEvent::KeyPress, 0x64a, Qt::NoModifier, 40, 0x6ea, 0, "\u064a");
  EXPECT_EQ(VirtualKeyCode(arabicD), 68);
  EXPECT_EQ(ShiftState(Qt::ShiftModifier | Qt::AltModifier), 5);
}

TEST(TimerTest, NoTimerTicksFasterThanWindowsFloor) {
  EXPECT_EQ(EffectiveInterval(1), kTimerFloorMilliseconds);
  EXPECT_EQ(EffectiveInterval(0), kTimerFloorMilliseconds);
  EXPECT_EQ(EffectiveInterval(10000), 10000);
  int ticks = 0;
  QtTimer timer([&] { ++ticks; });
  timer.SetInterval(1);
  EXPECT_EQ(timer.Interval(), 1);  // the saver reads back what it set
  timer.SetEnabled(true);
  QElapsedTimer clock;
  clock.start();
  while (clock.elapsed() < 400) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
  timer.SetEnabled(false);
  EXPECT_LE(ticks, 400 / kTimerFloorMilliseconds + 1);
  EXPECT_GE(ticks, 5);
}

TEST(CursorTest, TheDisplayCountBehavesLikeWindowsAndHidesThePointerBelowZero) {
  const char* argv[] = {"velun-saver"};
  QtSystemServices system(1, argv);
  EXPECT_EQ(system.ShowCursor(false), -1);
  EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::BlankCursor);
  for (int i = 0; i < 5; ++i) system.ShowCursor(false);
  EXPECT_EQ(system.ShowCursor(true), -5);
  int count = 0;
  while ((count = system.ShowCursor(true)) < 6) {
  }
  EXPECT_EQ(count, 6);
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

}  // namespace
}  // namespace velun::qt

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 1);
  velun::qt::EnsureApplication();
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
