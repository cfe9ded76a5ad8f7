#pragma once
// Windows virtual-key codes for Qt's keys: the saver's key handler takes the
// Windows code (83 is the S key, whatever the modifiers).
// Implemented:
//  [X] Letters, digits, modifiers (Shift 16, Ctrl 17, Alt 18, the logo key 91),
//      Enter, Escape, Space, Tab, Backspace, arrows, paging keys and F1 to F24
//  [X] A key from a non-Latin layout counts by the Latin letter of its place, as on
//      Windows, where the S place gives 83 under an Arabic layout too
//  [ ] Other keys give 0: only 83 has a meaning of its own; every other code ends
#include <QKeyEvent>
#include <cstdint>

namespace velun::qt {

std::int16_t VirtualKeyCode(int qtKey);
std::int16_t VirtualKeyCode(const QKeyEvent& event);
// 1 Shift, 2 Ctrl, 4 Alt, as the saver's handlers take them.
std::int16_t ShiftState(Qt::KeyboardModifiers modifiers);

}  // namespace velun::qt
