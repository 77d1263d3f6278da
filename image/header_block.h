// The sound header of the older releases: a block of fixed layout ahead of
// the samples, read without looking at any identifier.
#pragma once

#include <cstdint>
#include <cstdio>

#include "image/wave.h"

namespace zirpton {

// 44 bytes; 46 when the size field of the "fmt " chunk (offset 16) is 18.
inline constexpr int header_block_size = 44;
inline constexpr int long_header_block_size = 46;

// Reads the block at the start of `file`: the rate (offset 24), the block
// align (32) and the bits per sample (34) into `format`, and the data size
// (offset 40, or 42 in the long block). Returns the block's size, or the
// negated size of the block the file is too short for.
int read_header_block(std::FILE* file, WaveFormat& format, uint32_t& data_size);

}  // namespace zirpton
