#include "image/flash_config.h"

namespace zirpton {

double seconds_of(uint32_t bytes) {
  // Multiplied by the double nearest to 1/11025, not divided by 11025: the
  // two can differ in the last bit, and a printed tenth can show it.
  constexpr double per_sample = 1.0 / 11025.0;
  return static_cast<double>(bytes) * per_sample;
}

}  // namespace zirpton
