#include "tools/flash-image/wave_writer.h"

namespace zirpton::tools {
namespace {

void put16(std::string& out, uint32_t value) {
  out += static_cast<char>(value & 0xFF);
  out += static_cast<char>(value >> 8 & 0xFF);
}

void put32(std::string& out, uint32_t value) {
  put16(out, value & 0xFFFF);
  put16(out, value >> 16);
}

}  // namespace

std::string mono_wave(std::string_view samples, uint32_t rate, uint16_t bits) {
  uint32_t size = static_cast<uint32_t>(samples.size());
  uint32_t pad = size & 1;
  uint32_t block_align = bits / 8;
  std::string out = "RIFF";
  put32(out, 4 + (8 + 16) + (8 + size + pad));
  out += "WAVEfmt ";
  put32(out, 16);
  put16(out, 1);  // PCM
  put16(out, 1);  // mono
  put32(out, rate);
  put32(out, rate * block_align);
  put16(out, block_align);
  put16(out, bits);
  out += "data";
  put32(out, size);
  out += samples;
  if (pad) out += '\0';
  return out;
}

}  // namespace zirpton::tools
