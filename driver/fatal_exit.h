// The one end of every fatal error: the caller has printed its message; the
// release decides whether a key is awaited or a pause made, then the run ends
// with the exit code of the check.
#pragma once

#include "driver/run.h"

namespace zirpton {

// Thrown to end the run; run_program turns it into the exit code, so that
// files are closed as at the end of the program and tests stay in-process.
struct FatalExit {
  int code;
};

[[noreturn]] void fatal_exit(Run& run, int code);
// The usage line's end, which in the oldest release differs from the others.
[[noreturn]] void usage_exit(Run& run);

}  // namespace zirpton
