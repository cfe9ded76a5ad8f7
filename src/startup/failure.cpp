#include "startup/failure.h"

namespace velun {

void RaiseInvalidArgument() {
  throw Failure(failures::kInvalidArgument, "Invalid procedure call or argument");
}
void RaiseOverflow() { throw Failure(failures::kOverflow, "Overflow"); }
void RaiseSubscriptOutOfRange() {
  throw Failure(failures::kSubscriptOutOfRange, "Subscript out of range");
}
void RaiseTypeMismatch() { throw Failure(failures::kTypeMismatch, "Type mismatch"); }
void RaiseFileNotFound() { throw Failure(failures::kFileNotFound, "File not found"); }
void RaiseInputPastEndOfFile() {
  throw Failure(failures::kInputPastEndOfFile, "Input past end of file");
}

}  // namespace velun
