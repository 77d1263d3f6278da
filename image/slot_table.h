// One row per slot of the receiver's sound table: 528 slots in four banks of
// 132, 33 slots to a group.
#pragma once

#include <array>
#include <cstdint>

namespace zirpton {

inline constexpr int max_slots = 528;
inline constexpr int bank_slots = 132;
inline constexpr int name_size = 120;  // 119 characters and the terminating zero

struct SlotRow {
  char name[name_size];  // capitals; empty when no entry filled the row
  uint32_t length;       // sound bytes, fill included
  uint32_t off;          // flash address of the first sound byte
  uint8_t rate_flag;     // 1 for 22050 Hz
  uint8_t is_16bit;
  uint8_t ni;
  uint8_t pi;
};

struct SlotTable {
  std::array<SlotRow, max_slots> rows{};
};

// The AUTO blocks of the entry pass, by speed step; read again by the links.
inline constexpr int auto_rows = 127;

struct AutoTables {
  char auto_1000[auto_rows][name_size];
  char auto_2000[auto_rows][name_size];
  char auto_3000[auto_rows][name_size];
  int auto_step_used[128];
  int auto_third_given[128];
};

}  // namespace zirpton
