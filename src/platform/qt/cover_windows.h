#pragma once
// Plain black windows over every screen but the one the saver draws on.
// Implemented:
//  [X] One frameless, top-most black window per other screen; a screen that
//      mirrors the saver's (same area, or inside it) gets none
//  [X] A key or a pointer movement over one of them goes to the saver window's own
//      input handling, so it ends (or freezes) the saver exactly as over the verse
//  [ ] No verse on them: the verse stays on the primary screen
#include <QRect>
#include <QWidget>
#include <memory>
#include <vector>

namespace velun::qt {

class SaverWindowQt;

// The areas to cover: every screen area not inside the saver's own area.
std::vector<QRect> CoverAreas(const QRect& saverArea, const std::vector<QRect>& screens);

class CoverWindows {
 public:
  explicit CoverWindows(SaverWindowQt& saver);
  ~CoverWindows();
  void Show(const std::vector<QRect>& areas);
  std::size_t Count() const { return windows_.size(); }

 private:
  SaverWindowQt& saver_;
  std::vector<std::unique_ptr<QWidget>> windows_;
};

}  // namespace velun::qt
