// The receiver's flash image as the tools read it back: the CV page, the 528
// slot records of the header and the sound data behind them. Read only from
// the bytes, so that it checks whoever wrote them.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace zirpton::tools {

inline constexpr size_t page_size = 264;
inline constexpr size_t cv_page_bytes = 2 * page_size;
inline constexpr int cv_count = 256;
inline constexpr size_t header_start = cv_page_bytes;
inline constexpr int slot_count = 528;
inline constexpr int bank_slots = 132;
inline constexpr size_t record_bytes = 8;
inline constexpr size_t header_pages = 16;
inline constexpr size_t data_start = (2 + header_pages) * page_size;  // 4752
inline constexpr double samples_per_second = 11025.0;

struct SlotInfo {
  uint32_t length = 0;  // 0: no sound
  uint32_t ptr = 0;     // page * 512 + position, as the record holds it
  uint32_t off = 0;     // the same address counted linearly
  uint8_t ni = 0;
  uint8_t pi = 0;  // the 7 bits that the record keeps
  bool rate_22k = false;
  int sound = -1;  // index into ImageInfo::sounds
};

struct SoundInfo {
  uint32_t off = 0;
  uint32_t length = 0;
  bool rate_22k = false;
  std::vector<int> slots;  // ascending
};

struct ImageInfo {
  std::array<uint8_t, cv_count> cvs{};
  int cv_tail_not_ff = 0;  // bytes of the CV page behind CV 256 that are not 0xFF
  std::array<SlotInfo, slot_count> slots{};
  std::vector<SoundInfo> sounds;  // in address order
  // Records that point where no sound data are: one UTF-8 line each.
  std::vector<std::string> problems;
};

// Sum of the bytes, modulo 2^32.
uint32_t byte_sum(std::string_view bytes);

// `image` holds the pages without the checksum bytes. Returns false (with the
// reason in `problems`) when it is too short for the CV page and the header,
// or when a record points outside the sound data.
bool read_image(std::string_view image, ImageInfo& info);

// End of the highest sound that a record names (data_start without sound).
uint32_t sound_data_end(const ImageInfo& info);

// "CVs gesetzt: 1=3 29=6\n", and a line when the CV page's tail is not 0xFF.
std::string cv_summary(const ImageInfo& info);
// "Slots mit Sound: 14, verschiedene Sounds: 8, 1.7 Sekunden\n"
std::string sound_summary(const ImageInfo& info);
// "0, 4, 8, 133-194" for ascending slot numbers.
std::string slot_ranges(const std::vector<int>& slots);

}  // namespace zirpton::tools
