#pragma once

#include "driver/run.h"

namespace zirpton {

// The directive pass over the list file: fills FlashConfig, checks it, rewinds the file.
void scan_directives(Run& run);

}  // namespace zirpton
