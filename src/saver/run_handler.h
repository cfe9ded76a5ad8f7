#pragma once
// The front end runs every event handler of the saver window after its load
// through RunHandler: a failure that no trap catches ends the program with the
// standard report, and nothing runs once the process has ended.
#include <utility>

#include "startup/failure.h"
#include "startup/fatal_report.h"
#include "startup/program.h"
#include "startup/system.h"

namespace velun {

template <typename Handler>
void RunHandler(Program& program, SystemServices& system, Handler&& handler) {
  if (program.ended) return;
  try {
    std::forward<Handler>(handler)();
  } catch (const Failure& failure) {
    ReportUnhandledFailure(failure, program, system);
  }
}

}  // namespace velun
