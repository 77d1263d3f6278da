#include "tests/support/wave_builder.h"

namespace zirpton::testing {

std::string le16(uint16_t value) {
  return {static_cast<char>(value & 0xFF), static_cast<char>(value >> 8)};
}

std::string le32(uint32_t value) {
  return le16(static_cast<uint16_t>(value & 0xFFFF)) + le16(static_cast<uint16_t>(value >> 16));
}

std::string chunk(const std::string& id, const std::string& body,
                  std::optional<uint32_t> size_field) {
  return id + le32(size_field.value_or(static_cast<uint32_t>(body.size()))) + body;
}

std::string fmt_body(uint16_t channels, uint32_t rate, uint16_t block_align, uint16_t bits) {
  return le16(1) + le16(channels) + le32(rate) + le32(rate * block_align) + le16(block_align) +
         le16(bits);
}

std::string fmt_chunk(uint16_t channels, uint32_t rate, uint16_t block_align, uint16_t bits,
                      int extra) {
  std::string body = fmt_body(channels, rate, block_align, bits);
  if (extra >= 2) body += le16(0) + std::string(static_cast<size_t>(extra - 2), '\0');
  return chunk("fmt ", body);
}

std::string riff(const std::string& chunks, std::optional<uint32_t> riff_size,
                 const std::string& magic, const std::string& form) {
  uint32_t size = riff_size.value_or(static_cast<uint32_t>(chunks.size() + 4));
  return magic + le32(size) + form + chunks;
}

std::string wave_8bit(const std::string& samples, uint32_t rate) {
  return riff(fmt_chunk(1, rate, 1, 8) + chunk("data", samples));
}

std::string wave_16bit(const std::vector<int16_t>& samples, uint32_t rate) {
  std::string data;
  for (int16_t sample : samples) data += le16(static_cast<uint16_t>(sample));
  return riff(fmt_chunk(1, rate, 2, 16) + chunk("data", data));
}

}  // namespace zirpton::testing
