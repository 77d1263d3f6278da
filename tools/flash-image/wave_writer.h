// Mono PCM RIFF WAVE files, the plain 44-byte form that every player reads.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace zirpton::tools {

// `samples` as the data chunk holds them: unsigned bytes for 8 bits, signed
// little-endian pairs for 16 bits. An odd data size gets its pad byte.
std::string mono_wave(std::string_view samples, uint32_t rate, uint16_t bits);

}  // namespace zirpton::tools
