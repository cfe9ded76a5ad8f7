#pragma once
// The program's answer to a failure caught by one of its two traps, and the
// report of a failure that no trap catches.
#include <string>

#include "startup/failure.h"
#include "startup/program.h"
#include "startup/system.h"

namespace velun {

#ifndef VELUN_CONTACT_ADDRESS
#define VELUN_CONTACT_ADDRESS "velun.saver@example.org"
#endif

// The five lines of the fatal report, joined by lineBreak, no break after the last.
std::string FatalErrorMessage(std::int32_t number, const std::string& description,
                              const std::string& programFolder, const std::string& lineBreak);

// Shows the cursor (count 6 or more), withdraws the screen-saver notice if the
// saver gave it, shows the report titled "Error" with style 16 and ends.
void ReportFatalError(const Failure& failure, Program& program, SystemServices& system);

// The standard report of a failure outside the traps: "Run-time error '<n>':",
// a blank line and the description, titled "Velun Saver"; the notice is
// withdrawn and the cursor shown before the box, then the process ends.
std::string UnhandledFailureMessage(const Failure& failure, const std::string& lineBreak);
void ReportUnhandledFailure(const Failure& failure, Program& program, SystemServices& system);

// Withdraws the screen-saver notice when the saver window gave it.
void WithdrawScreenSaverNotice(Program& program, SystemServices& system);
// Calls ShowCursor(true) until the count it returns is at least 6.
void ShowCursorFully(SystemServices& system);

}  // namespace velun
