// Names in the slot table and the AUTO tables: at most 119 characters and a
// terminating zero; a longer name is cut.
#pragma once

#include <cstring>

#include "image/slot_table.h"

namespace zirpton {

inline void store_name(char (&row)[name_size], const char* name) {
  std::strncpy(row, name, name_size - 1);
  row[name_size - 1] = '\0';
}

}  // namespace zirpton
