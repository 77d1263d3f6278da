#pragma once

#include "driver/run.h"

namespace zirpton {

// Reads the sound file `name` (already in capitals) for row `current_slot`:
// converts its samples into the temporary file, records length, flash
// address and rate, advances `current_slot`. Every failure ends the run.
void load_sound(Run& run, const char* name);

}  // namespace zirpton
