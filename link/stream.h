#pragma once

#include "driver/run.h"

namespace zirpton {

// The programming stream: CV page, header, sound data, trailer.
void send_image(Run& run);

}  // namespace zirpton
