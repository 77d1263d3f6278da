// The settings of one sound image, filled by the directive pass and only read
// afterwards.
#pragma once

#include <cstdint>

namespace zirpton {

struct FlashConfig {
  uint32_t FLASHSIZE = 0;
  int mega_168 = 0;
  int pad_to_12 = 0;
  int generation_4 = 0;
  int group_count = 4;
  int auto_anzahl = 0;
  // Derived once the pass is through.
  int slot_count = 0;
  int header_bytes = 0;
  double capacity_seconds = 0.0;
};

// Seconds of sound in `bytes`, at 11025 one-byte samples per second.
double seconds_of(uint32_t bytes);

}  // namespace zirpton
