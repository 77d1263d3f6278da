// Pauses of whole milliseconds. The run never reads the time, it only waits.
#pragma once

#include <cstdint>

namespace zirpton {

class Clock {
 public:
  virtual ~Clock() = default;
  virtual void sleep_ms(uint32_t ms) = 0;
};

}  // namespace zirpton
