#include "link/slot_record.h"

namespace zirpton {
namespace {

uint8_t bits(uint32_t value, int shift) { return static_cast<uint8_t>((value >> shift) & 0xFF); }

}  // namespace

uint32_t negated_length(uint32_t length) { return 0u - length; }

uint32_t flash_ptr(uint32_t off) {
  return (off / flash_page_size) * 512u + off % flash_page_size;
}

SlotRecord make_slot_record(const SlotRow& row) {
  const uint32_t n = negated_length(row.length);
  const uint32_t a = flash_ptr(row.off);
  // Bit 7 of the previous slot drops out of byte 7.
  const uint8_t rate_and_previous =
      static_cast<uint8_t>((row.pi << 1) | (row.rate_flag == 0 ? 1 : 0));
  return {{bits(n, 0), bits(n, 8), bits(a, 0), bits(a, 8), bits(a, 16), row.ni, bits(n, 16),
           rate_and_previous}};
}

}  // namespace zirpton
