#pragma once

#include "driver/run.h"

namespace zirpton {

// The CV default file into the CV page.
void read_cv_defaults(Run& run);

}  // namespace zirpton
