#pragma once

#include "driver/run.h"

namespace zirpton {

// Port runs only: reset the receiver if asked, then the entry bytes and the wait.
void enter_programming(Run& run);

// Holds DTR and RTS reversed for the reset wait: 2000 ms for `reset_mode` 2,
// else 10000 ms. With a Mega168 the 0x55 burst and two stop bits follow.
void reset_receiver(Run& run, int reset_mode);

}  // namespace zirpton
