#include "link/slot_record.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/fakes/line_log.h"

namespace zirpton {
namespace {

TEST(SlotRecord, EncodesLengthAddressLinksAndRate) {
  struct Case {
    uint32_t length, off;
    uint8_t ni, pi, rate_flag;
    const char* bytes;
  } cases[] = {
      // A sound at the start of the data, and the same sound further on.
      {0x1234, 4752, 0x05, 0, 1, "CC ED 00 24 00 05 FF 00"},
      {0x1234, 5052, 0x85, 3, 0, "CC ED 24 26 00 85 FF 07"},
      // An empty slot keeps the address it was left with; its length is 0.
      {0, 4752, 0x00, 0, 0, "00 00 00 24 00 00 00 01"},
      {0, 0, 0x00, 0, 0, "00 00 00 00 00 00 00 01"},
      // Bit 7 of the previous slot is lost in byte 7.
      {1, 4753, 0x11, 0x85, 0, "FF FF 01 24 00 11 FF 0B"},
      {1, 4753, 0x11, 0xFF, 1, "FF FF 01 24 00 11 FF FE"},
      // The largest length that fits, the last position of a page, and an
      // address of the largest flash.
      {0xFFFFFF, 4752 + 263, 0, 0, 1, "01 00 07 25 00 00 00 00"},
      {0x10, 0x420000 - 1, 0, 0, 1, "F0 FF 07 FF 7F 00 FF 00"},
  };
  for (const auto& c : cases) {
    SlotRow row{};
    row.length = c.length;
    row.off = c.off;
    row.ni = c.ni;
    row.pi = c.pi;
    row.rate_flag = c.rate_flag;
    SlotRecord record = make_slot_record(row);
    EXPECT_EQ(fakes::hex_bytes({record.bytes, record.bytes + slot_record_size}), c.bytes)
        << std::hex << c.length << " " << c.off;
  }
}

}  // namespace
}  // namespace zirpton
