#pragma once

#include "driver/run.h"

namespace zirpton {

// The entry pass of the oldest releases: each entry fills the next slot, in
// the order of the file; a line without its colon is reported and skipped.
void assign_slots_in_file_order(Run& run);

}  // namespace zirpton
