// RIFF WAVE files built byte by byte, for tests: chunks in any order, sizes
// that lie, odd sizes, extra chunks.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace zirpton::testing {

std::string le16(uint16_t value);
std::string le32(uint32_t value);

// A chunk: identifier, size field (the body's size unless given) and body.
std::string chunk(const std::string& id, const std::string& body,
                  std::optional<uint32_t> size_field = std::nullopt);
// The 16-byte format record of PCM: tag 1, then the fields as given, the
// byte rate being rate x block align.
std::string fmt_body(uint16_t channels, uint32_t rate, uint16_t block_align, uint16_t bits);
// A "fmt " chunk of 16 bytes, or 16 + `extra` bytes (18 with extra 2).
std::string fmt_chunk(uint16_t channels, uint32_t rate, uint16_t block_align,
                      uint16_t bits, int extra = 0);
// The RIFF header around `chunks`; the size field is the true one unless given.
std::string riff(const std::string& chunks, std::optional<uint32_t> riff_size = std::nullopt,
                 const std::string& magic = "RIFF", const std::string& form = "WAVE");

// Canonical mono files.
std::string wave_8bit(const std::string& samples, uint32_t rate = 11025);
std::string wave_16bit(const std::vector<int16_t>& samples, uint32_t rate = 11025);

}  // namespace zirpton::testing
