#include "link/slot_record.h"

namespace zirpton {
namespace {

uint8_t bits(uint32_t value, int shift) { return static_cast<uint8_t>((value >> shift) & 0xFF); }

uint8_t last_byte(const SlotRow& row, RecordByte7 byte_7) {
  const uint8_t not_22k = row.rate_flag == 0 ? 1 : 0;
  switch (byte_7) {
    case RecordByte7::fe_and_rate: return static_cast<uint8_t>(0xFE | not_22k);
    case RecordByte7::ff: return 0xFF;
    case RecordByte7::pi_and_rate:
    case RecordByte7::none: break;
  }
  // Bit 7 of the previous slot drops out.
  return static_cast<uint8_t>((row.pi << 1) | not_22k);
}

}  // namespace

uint32_t negated_length(uint32_t length) { return 0u - length; }

uint32_t flash_ptr(uint32_t off) {
  return (off / flash_page_size) * 512u + off % flash_page_size;
}

SlotRecord make_slot_record(const SlotRow& row, RecordByte7 byte_7) {
  const uint32_t n = negated_length(row.length);
  const uint32_t a = flash_ptr(row.off);
  if (byte_7 == RecordByte7::none)
    return {{bits(n, 0), bits(n, 8), bits(a, 0), bits(a, 8), bits(a, 16), row.ni, 0, 0}, 6};
  return {{bits(n, 0), bits(n, 8), bits(a, 0), bits(a, 8), bits(a, 16), row.ni, bits(n, 16),
           last_byte(row, byte_7)},
          slot_record_size};
}

}  // namespace zirpton
