#pragma once
// Windows of other programs that the saver draws into, through Qt's own X connection.
// Implemented:
//  [X] The size of an X window given by its id, asked of the X server (Qt 6.4 knows
//      no geometry for a window made with QWindow::fromWinId), in Qt's device-
//      independent pixels (the server's pixels over the screen's device pixel ratio,
//      rounded up so that a window sized to it covers the whole window)
//  [ ] Only X11: under Wayland there are no foreign windows to draw into
#include <QSize>
#include <cstdint>
#include <optional>

namespace velun::qt {

// The window's size in device-independent pixels; nothing when Qt does not run on X
// or the window does not exist.
std::optional<QSize> ForeignWindowSize(std::uint32_t window);

}  // namespace velun::qt
