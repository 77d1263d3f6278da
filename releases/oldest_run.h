// The run of the two oldest releases, "zirpto32": the port set once without
// a handshake, the reset before the list is read, the delete command, the
// list's entries in file order.
#pragma once

#include "driver/run.h"

namespace zirpton {

void run_oldest(Run& run, int argc, const char* const* argv);

}  // namespace zirpton
