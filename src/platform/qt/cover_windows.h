#pragma once
// Plain black windows over every screen but the one the saver draws on.
// Implemented:
//  [X] One frameless, top-most black window per other screen; a screen that
//      mirrors the saver's (same area, or inside it) gets none; a screen of another
//      X screen (a desktop of its own, as Xvfb's second screen) is covered too
//  [X] A key or a pointer movement over one of them goes to the saver window's own
//      input handling, so it ends (or freezes) the saver exactly as over the verse
//  [ ] No verse on them: the verse stays on the primary screen
#include <QRect>
#include <QWidget>
#include <memory>
#include <vector>

class QScreen;

namespace velun::qt {

class SaverWindowQt;

// A screen's area on its desktop; screens of one desktop share coordinates.
struct ScreenArea {
  QRect area;
  int desktop = 0;  // 0: the desktop of the saver's screen
};

// The indices of the screens to cover: every screen of another desktop, and every
// screen of the saver's desktop whose area is not inside the saver's own area nor
// inside one already covered.
std::vector<std::size_t> ScreensToCover(const QRect& saverArea,
                                        const std::vector<ScreenArea>& screens);

class CoverWindows {
 public:
  explicit CoverWindows(SaverWindowQt& saver);
  ~CoverWindows();
  // Covers the screens to cover among all of the application's screens.
  void Show(QScreen* saverScreen, const QRect& saverArea);
  std::size_t Count() const { return windows_.size(); }

 private:
  SaverWindowQt& saver_;
  std::vector<std::unique_ptr<QWidget>> windows_;
};

}  // namespace velun::qt
