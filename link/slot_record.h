// The header record of one slot as the receiver reads it from its flash, and
// the receiver's form of a flash address.
#pragma once

#include <cstdint>

#include "image/slot_table.h"
#include "releases/release.h"

namespace zirpton {

// The flash is written in pages of 264 bytes.
inline constexpr uint32_t flash_page_size = 264;
inline constexpr int slot_record_size = 8;

struct SlotRecord {
  uint8_t bytes[slot_record_size];
  int size;  // 8, or 6 in the oldest release
};

// The receiver counts a sound down from the two's complement of its length.
uint32_t negated_length(uint32_t length);

// A linear flash address as the receiver takes it: the page number from
// bit 9 up, the position in the page (0 to 263) in bits 0 to 8.
uint32_t flash_ptr(uint32_t off);

// Bytes 0, 1 and 6 hold 24 bits of the negated length, 2 to 4 the address,
// 5 the next slot; byte 7 as the release has it, by default the previous
// slot shifted left with bit 0 set for a sound not at 22050 Hz.
SlotRecord make_slot_record(const SlotRow& row, RecordByte7 byte_7 = RecordByte7::pi_and_rate);

}  // namespace zirpton
