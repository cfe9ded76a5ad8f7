#pragma once
// The saver window's events as a front end delivers them, and their connection to
// Form1: every handler after the load runs through RunHandler, so a failure there
// ends the program with the standard report and nothing runs once it has ended.
#include <cstdint>
#include <functional>

#include "saver/form1.h"
#include "saver/run_handler.h"

namespace velun {

struct SaverEventHandlers {
  std::function<void(std::int16_t keyCode, std::int16_t shift)> keyDown;
  std::function<void(std::int16_t button, std::int16_t shift, float x, float y)> mouseMove;
  std::function<void()> unload;
  std::function<void()> timer1;
  std::function<void()> timer2;
};

inline SaverEventHandlers GuardedHandlers(Form1& form, Program& program,
                                          SystemServices& system) {
  auto guarded = [&program, &system](auto handler) {
    return [&program, &system, handler](auto... arguments) {
      RunHandler(program, system, [&] { handler(arguments...); });
    };
  };
  return {
      guarded([&form](std::int16_t key, std::int16_t shift) { form.Form_KeyDown(key, shift); }),
      guarded([&form](std::int16_t button, std::int16_t shift, float x, float y) {
        form.Form_MouseMove(button, shift, x, y);
      }),
      guarded([&form] { form.Form_Unload(); }),
      guarded([&form] { form.VerseCycle(); }),
      guarded([&form] { form.AnimationTick(); }),
  };
}

}  // namespace velun
