#pragma once

#include <cstdint>

#include "driver/run.h"

namespace zirpton {

// Size check, seconds line, pairing check, link bytes and the slot listing.
void check_slots(Run& run);

// True when the low byte of `slot` is one of the group starts in `table`,
// a byte table in ascending order ended by 0xFF.
bool is_group_start(const uint8_t* table, int slot);

}  // namespace zirpton
