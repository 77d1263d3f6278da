#pragma once

#include "driver/run.h"

namespace zirpton {

// Opens port `port_number` for the run, or ends it with "Open COMn: Error e".
// Then the line is prepared as the release asks.
void open_port(Run& run, int port_number);

}  // namespace zirpton
