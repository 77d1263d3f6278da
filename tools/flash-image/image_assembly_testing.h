// For tests: flash images and programming streams put together byte by byte
// from the layout, without the code that reads them back.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace zirpton::tools::testing {

struct TestSlot {
  int slot;
  uint32_t length;
  uint32_t off;
  uint8_t ni;
  uint8_t pi;
  bool rate_22k;
};

inline std::string slot_record(uint32_t length, uint32_t off, uint8_t ni, uint8_t pi,
                               bool rate_22k) {
  uint32_t negated = 0u - length;
  uint32_t ptr = off / 264 * 512 + off % 264;
  return {static_cast<char>(negated & 0xFF),
          static_cast<char>(negated >> 8 & 0xFF),
          static_cast<char>(ptr & 0xFF),
          static_cast<char>(ptr >> 8 & 0xFF),
          static_cast<char>(ptr >> 16 & 0xFF),
          static_cast<char>(ni),
          static_cast<char>(negated >> 16 & 0xFF),
          static_cast<char>((pi << 1 | (rate_22k ? 0 : 1)) & 0xFF)};
}

// CV page with the given CVs (number, value), 528 records, then `data` (the
// stored bytes) completed to a whole page with 0x00. Slots not named are
// empty: bank 0 with ni 0xFF, the others with 0.
inline std::string assemble_image(const std::vector<std::pair<int, uint8_t>>& cvs,
                                  const std::vector<TestSlot>& slots, const std::string& data) {
  std::string image(528, '\xFF');
  for (auto [cv, value] : cvs) image[cv - 1] = static_cast<char>(value);
  for (int number = 0; number < 528; ++number) {
    std::string record = slot_record(0, 0, number < 132 ? 0xFF : 0, 0, false);
    for (const TestSlot& slot : slots)
      if (slot.slot == number)
        record = slot_record(slot.length, slot.off, slot.ni, slot.pi, slot.rate_22k);
    image += record;
  }
  image += data;
  image.append((264 - image.size() % 264) % 264, '\0');
  return image;
}

inline uint32_t sum_of(const std::string& bytes) {
  uint32_t sum = 0;
  for (char byte : bytes) sum += static_cast<uint8_t>(byte);
  return sum;
}

inline std::string checksum_bytes(const std::string& image) {
  uint32_t sum = sum_of(image);
  return {static_cast<char>(sum & 0xFF), static_cast<char>(sum >> 8 & 0xFF)};
}

// The file that a file-output run writes.
inline std::string output_file(const std::string& image) { return image + checksum_bytes(image); }

inline const std::string handshake = "\x24\x80\x11\x17\x04\xA6";
inline const std::string page_command = "\x76\xFF\xFF\x23";

// Page pairs, the completing zero page, the end byte and the checksum.
inline std::string pair_stream(const std::string& prefix, const std::string& image) {
  std::string pages = image;
  if (pages.size() / 264 % 2 == 1) pages.append(264, '\0');
  std::string stream = prefix;
  for (size_t at = 0; at < pages.size(); at += 528)
    stream += page_command + pages.substr(at, 528) + std::string(96, '\xFF');
  return stream + "\x33" + checksum_bytes(image);
}

// Single pages: "u" before the first, "W" before every other.
inline std::string single_stream(const std::string& prefix, const std::string& image) {
  std::string stream = prefix;
  for (size_t at = 0; at < image.size(); at += 264)
    stream += (at == 0 ? "u" : "W") + image.substr(at, 264);
  return stream + "\x33" + checksum_bytes(image);
}

inline std::string ascending_entry() {
  std::string bytes;
  for (int byte = 0xF3; byte <= 0xFF; ++byte) bytes += static_cast<char>(byte);
  return bytes;
}

}  // namespace zirpton::tools::testing
