// The receiver's flash image as the tools read it back: the CV page, the slot
// records of the header and the sound data behind them. Read only from
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
inline constexpr int cv_count = 256;
inline constexpr int max_slots = 528;
inline constexpr int bank_slots = 132;
inline constexpr double samples_per_second = 11025.0;

// What byte 7 of an 8-byte record holds; the oldest header has 6-byte
// records without it and with 16 bits of length.
enum class RecordKind { pi_and_rate, always_ff, six_bytes };

// Where CV page, header and sound data stand, and how a slot record reads.
// The receiver generations and the oldest programs differ only here.
struct Layout {
  const char* name;         // as the option --layout names it
  const char* description;  // for the reports
  int slot_count;
  RecordKind records;
  size_t cv_start;
  size_t cv_bytes;  // 528, or 264 where only the first half is sent
  size_t header_start;
  size_t header_pages;
  size_t deletion_pages;  // pages a delete command sends, 0 without one

  size_t record_bytes() const { return records == RecordKind::six_bytes ? 6 : 8; }
  size_t header_end() const { return header_start + header_pages * page_size; }
  size_t data_start() const {
    return header_end() > cv_start + cv_bytes ? header_end() : cv_start + cv_bytes;
  }
  bool has_rate_and_pi() const { return records == RecordKind::pi_and_rate; }
};

// 4th generation: 528 slots in 16 header pages behind the CV page.
const Layout& layout_528();
// Receivers before it: 132 slots in 4 header pages.
const Layout& layout_132();
// zirpto32 3.3: as 132, byte 7 always 0xFF; 2048 pages to delete.
const Layout& layout_3_3();
// zirpto32 2.02: 88 six-byte records in 2 pages, then one CV page; 1024 pages.
const Layout& layout_2_02();
// By the name of the option, nullptr for an unknown one.
const Layout* layout_named(std::string_view name);

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
  const Layout* layout = nullptr;
  std::array<SlotInfo, max_slots> slots{};  // the layout's slot_count of them used
  std::vector<SoundInfo> sounds;            // in address order
  // Records that point where no sound data are: one UTF-8 line each.
  std::vector<std::string> problems;
};

// Sum of the bytes, modulo 2^32.
uint32_t byte_sum(std::string_view bytes);

// `image` holds the pages without the checksum bytes. Returns false (with the
// reason in `problems`) when it is too short for the CV page and the header,
// when a record points outside the sound data, or when a byte that the
// layout fixes is not as fixed.
bool read_image(std::string_view image, const Layout& layout, ImageInfo& info);

// End of the highest sound that a record names (the data start without sound).
uint32_t sound_data_end(const ImageInfo& info);

// "CVs gesetzt: 1=3 29=6\n", and a line when the CV page's tail is not 0xFF.
std::string cv_summary(const ImageInfo& info);
// "Slots mit Sound: 14, verschiedene Sounds: 8, 1.7 Sekunden\n"
std::string sound_summary(const ImageInfo& info);
// "0, 4, 8, 133-194" for ascending slot numbers.
std::string slot_ranges(const std::vector<int>& slots);

}  // namespace zirpton::tools
