#include "releases/oldest_entries.h"

#include <cstring>

#include "driver/fatal_exit.h"
#include "driver/messages.h"
#include "image/slot_name.h"
#include "image/sound_loader.h"

namespace zirpton {
namespace {

// The colon stands at the 3rd character, or up to the release's last
// column; the prefix before it is not read. -1 when there is none.
int colon_index(const Run& run, const char* line, size_t length) {
  for (int column = 3; column <= run.release.last_colon_column; ++column)
    if (static_cast<size_t>(column) <= length && line[column - 1] == ':') return column - 1;
  return -1;
}

// The name begins two characters after the colon; a line that ends with its
// colon has an empty name.
char* name_of(char* line, size_t length, int colon) {
  size_t start = static_cast<size_t>(colon) + 2;
  return start <= length ? line + start : line + length;
}

void capitalise(char* name) {
  for (; *name; ++name)
    if (*name >= 'a' && *name <= 'z') *name = static_cast<char>(*name - 'a' + 'A');
}

// An earlier row with the same name: its sound is shared, not read again.
bool share_earlier(Run& run, const char* name) {
  for (int slot = 0; slot < run.current_slot; ++slot) {
    const SlotRow& earlier = run.slots.rows[slot];
    if (std::strcmp(earlier.name, name) != 0) continue;
    SlotRow& row = run.slots.rows[run.current_slot];
    row.length = earlier.length;
    row.off = earlier.off;
    if (run.release.shared_rows_keep_name) store_name(row.name, name);
    ++run.current_slot;
    return true;
  }
  return false;
}

void take_entry(Run& run, char* line) {
  size_t length = std::strlen(line);
  if (length < 3 || line[0] == ';') return;
  int colon = colon_index(run, line, length);
  if (colon < 0) {
    say(run.console, Stream::out, "ungültige Zeile: %s\n", line);
    return;
  }
  if (run.current_slot >= run.flash.slot_count) {
    say(run.console, Stream::out, "zu viele Zeilen!\n");
    fatal_exit(run, run.release.exit.too_many_lines);
  }
  char* name = name_of(line, length, colon);
  if (std::strncmp(name, "---", 3) == 0) {
    ++run.current_slot;
    return;
  }
  capitalise(name);
  if (!share_earlier(run, name)) load_sound(run, name);
}

}  // namespace

void assign_slots_in_file_order(Run& run) {
  while (read_text_line(run.list_file.get(), run.line_buffer, line_buffer_size)) {
    strip_newlines(run.line_buffer);
    take_entry(run, run.line_buffer);
  }
}

}  // namespace zirpton
