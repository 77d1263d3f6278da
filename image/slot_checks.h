#pragma once

#include "driver/run.h"

namespace zirpton {

// Size check, seconds line, pairing check, link bytes and the slot listing.
void check_slots(Run& run);

}  // namespace zirpton
