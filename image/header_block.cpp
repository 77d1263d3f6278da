#include "image/header_block.h"

namespace zirpton {
namespace {

uint16_t le16_at(const uint8_t* bytes) {
  return static_cast<uint16_t>(bytes[0] | (bytes[1] << 8));
}

uint32_t le32_at(const uint8_t* bytes) {
  return le16_at(bytes) | (static_cast<uint32_t>(le16_at(bytes + 2)) << 16);
}

}  // namespace

int read_header_block(std::FILE* file, WaveFormat& format, uint32_t& data_size) {
  uint8_t block[long_header_block_size] = {};
  if (std::fread(block, 1, header_block_size, file) != header_block_size) return -header_block_size;
  const bool long_block = le32_at(block + 16) == 18;
  if (long_block && std::fread(block + header_block_size, 1, 2, file) != 2)
    return -long_header_block_size;
  format.sample_rate = le32_at(block + 24);
  format.block_align = le16_at(block + 32);
  format.bits_per_sample = le16_at(block + 34);
  data_size = le32_at(block + (long_block ? 42 : 40));
  return long_block ? long_header_block_size : header_block_size;
}

}  // namespace zirpton
