#pragma once

#include "driver/run.h"

namespace zirpton {

// Port runs only: reset the receiver if asked, then the entry bytes and the wait.
void enter_programming(Run& run);

// Holds DTR and RTS reversed for the reset wait: 2000 ms for `reset_mode` 2,
// else 10000 ms. With a Mega168 the 0x55 burst and two stop bits follow.
void reset_receiver(Run& run, int reset_mode);

// The entry bytes (0xF3 to 0xFF, or 0x17 for a Mega168), the message and the
// release's wait before the stream.
void send_entry_and_wait(Run& run);

}  // namespace zirpton
