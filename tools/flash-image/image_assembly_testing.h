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

using CvValues = std::vector<std::pair<int, uint8_t>>;

inline std::string cv_page(const CvValues& cvs) {
  std::string page(528, '\xFF');
  for (auto [cv, value] : cvs) page[cv - 1] = static_cast<char>(value);
  return page;
}

inline std::string completed_to_page(std::string bytes) {
  bytes.append((264 - bytes.size() % 264) % 264, '\0');
  return bytes;
}

// CV page with the given CVs (number, value), `header_slots` records (528, or
// 132 for the receivers before the 4th generation), then `data` (the stored
// bytes) completed to a whole page with 0x00. Slots not named are empty:
// bank 0 with ni 0xFF, the others with 0.
inline std::string assemble_image(const CvValues& cvs, const std::vector<TestSlot>& slots,
                                  const std::string& data, int header_slots = 528) {
  std::string image = cv_page(cvs);
  for (int number = 0; number < header_slots; ++number) {
    std::string record = slot_record(0, 0, number < 132 ? 0xFF : 0, 0, false);
    for (const TestSlot& slot : slots)
      if (slot.slot == number)
        record = slot_record(slot.length, slot.off, slot.ni, slot.pi, slot.rate_22k);
    image += record;
  }
  return completed_to_page(image + data);
}

// The oldest programs: one bank, no pi, no rate.
struct OldSlot {
  int slot;
  uint32_t length;
  uint32_t off;
  uint8_t ni;
};

// An empty slot: no length, address 0, ni 0xFF.
inline std::string old_record(const std::vector<OldSlot>& slots, int number, bool six_bytes) {
  uint32_t length = 0, off = 0;
  uint8_t ni = 0xFF;
  for (const OldSlot& slot : slots)
    if (slot.slot == number) length = slot.length, off = slot.off, ni = slot.ni;
  std::string record = slot_record(length, off, ni, 0, false);
  if (six_bytes) return record.substr(0, 6);
  record[7] = '\xFF';
  return record;
}

// Release 3.3: CV page, 132 records of 8 bytes with byte 7 0xFF, data.
inline std::string assemble_image_3_3(const CvValues& cvs, const std::vector<OldSlot>& slots,
                                      const std::string& data) {
  std::string image = cv_page(cvs);
  for (int number = 0; number < 132; ++number) image += old_record(slots, number, false);
  return completed_to_page(image + data);
}

// Release 2.02: 88 records of 6 bytes, the first half of the CV page, data.
inline std::string assemble_image_2_02(const CvValues& cvs, const std::vector<OldSlot>& slots,
                                       const std::string& data) {
  std::string image;
  for (int number = 0; number < 88; ++number) image += old_record(slots, number, true);
  return completed_to_page(image + cv_page(cvs).substr(0, 264) + data);
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

// Single pages: `first` ("u" or "W") before the first, "W" before every other.
inline std::string single_stream(const std::string& prefix, const std::string& image,
                                 char first = 'u') {
  std::string stream = prefix;
  for (size_t at = 0; at < image.size(); at += 264)
    stream += (at == 0 ? first : 'W') + image.substr(at, 264);
  return stream + "\x33" + checksum_bytes(image);
}

inline std::string ascending_entry() {
  std::string bytes;
  for (int byte = 0xF3; byte <= 0xFF; ++byte) bytes += static_cast<char>(byte);
  return bytes;
}

}  // namespace zirpton::tools::testing
