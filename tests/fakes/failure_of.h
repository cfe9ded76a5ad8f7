#pragma once
#include "startup/failure.h"

namespace velun::testing {

// The failure number a call raises, or 0 when it raises none.
template <typename F>
int FailureOf(F&& f) {
  try {
    f();
  } catch (const Failure& failure) {
    return failure.Number();
  }
  return 0;
}

}  // namespace velun::testing
