#pragma once

#include "driver/run.h"

namespace zirpton {

// Port runs only: reset the receiver if asked, then the entry bytes and the wait.
void enter_programming(Run& run);

}  // namespace zirpton
