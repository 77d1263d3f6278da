// Names in the slot table and the AUTO tables: at most 119 characters and a
// terminating zero; a longer name is cut.
#pragma once

#include <cstring>

#include "image/slot_table.h"

namespace zirpton {

inline void store_name(char (&row)[name_size], const char* name) {
  size_t length = strnlen(name, name_size - 1);
  std::memcpy(row, name, length);
  row[length] = '\0';
}

}  // namespace zirpton
