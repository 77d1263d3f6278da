// The RIFF WAVE chunk walk: from the start of a sound file to its samples.
#pragma once

#include <cstdint>

#include "platform/text_file.h"

namespace zirpton {

// The first 16 bytes of the "fmt " chunk. Only the rate, the block align and
// the bits per sample are looked at.
struct WaveFormat {
  uint16_t format_tag;
  uint16_t channels;
  uint32_t sample_rate;
  uint32_t byte_rate;
  uint16_t block_align;
  uint16_t bits_per_sample;

  friend bool operator==(const WaveFormat&, const WaveFormat&) = default;
};

// Failures of the walk; each closes the file.
inline constexpr int32_t wave_too_short = -1;     // fewer than 12 bytes
inline constexpr int32_t wave_not_wave = -2;      // RIFF size beyond the file, or not "WAVE"
inline constexpr int32_t wave_no_format = -3;     // no "fmt " chunk, or its 16 bytes missing
inline constexpr int32_t wave_short_format = -4;  // "fmt " chunk under 16 bytes
inline constexpr int32_t wave_no_data = -5;       // no "data" chunk after "fmt "

// Walks the chunks of `file` (open for binary reading, at its start) and
// fills `format`. Zero or more: the size of the "data" chunk, the file
// positioned at its first byte. Negative: one of the failures above, or a
// data size with its top bit set read as a negative number; the file has
// been closed.
// With `riff_size_exact` the RIFF size must be the file's length minus 8;
// else it may be smaller (bytes appended behind the chunks).
int32_t wave_find_data(FileHandle& file, WaveFormat& format, bool riff_size_exact = false);

}  // namespace zirpton
