#pragma once

#include "driver/run.h"

namespace zirpton {

// The entry pass over the list file: a sound file for every slot.
void assign_slots(Run& run);

}  // namespace zirpton
