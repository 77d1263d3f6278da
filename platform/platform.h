// The machine as one bundle, so that a whole run can be given fakes in tests.
#pragma once

#include "platform/clock.h"
#include "platform/console.h"
#include "platform/serial_port.h"

namespace zirpton {

struct Platform {
  Console& console;
  Clock& clock;
  PortOpener& ports;
};

// The operating system's own console, clock and ports, for the real programs;
// one implementation per operating system.
Console& system_console();
Clock& system_clock();
PortOpener& system_port_opener();
Platform& system_platform();

}  // namespace zirpton
