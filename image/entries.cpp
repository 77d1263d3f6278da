#include "image/entries.h"

#include <climits>
#include <cstdio>
#include <cstring>

#include "driver/command_line.h"
#include "driver/fatal_exit.h"
#include "driver/messages.h"
#include "image/slot_name.h"
#include "image/sound_loader.h"

namespace zirpton {
namespace {

enum class ReadState { reading, reading_auto, emit_1000, emit_2000, emit_3000, done };

// What only this pass keeps between lines.
struct EntryPass {
  ReadState read_state = ReadState::reading;
  int high_numbers_used = 0;
  double step_accumulator = 1.5;  // spaces the AUTO blocks that give no speed step
  char auto_line[line_buffer_size] = {};
};

constexpr int max_speed_step = 126;

// The three ranges of sound numbers that address banks 1 to 3. Entering a
// range carries the rows up to the slot before its bank's last one; the
// 1000 range carries nothing (target 0).
struct SoundRange {
  int first_number;
  int first_slot;
  int carry_on_entry;
  int ExitCodes::*in_auto_block;
};

constexpr SoundRange ranges[] = {
    {1000, 132, 0, &ExitCodes::high_1000_in_auto},
    {2000, 264, 263, &ExitCodes::high_2000_in_auto},
    {3000, 396, 395, &ExitCodes::high_3000_in_auto},
};

// The message names the line as it stands in line_buffer.
[[noreturn]] __attribute__((format(printf, 3, 0))) void fail_line(Run& run, Stream stream,
                                                                  const char* format, int code) {
  say(run.console, stream, format, run.line_buffer);
  fatal_exit(run, code);
}

[[noreturn]] void fail_mixed_numbering(Run& run, int code) {
  say(run.console, Stream::err, "entweder nur Sounds > 1000 oder nur Sounds mit '+'-Kennung!\n");
  fatal_exit(run, code);
}

// Every row passed over repeats the one before it; slot 0 has none before
// it and stays as it is.
void carry_forward(Run& run, int target) {
  auto& rows = run.slots.rows;
  for (; run.current_slot < target; ++run.current_slot) {
    if (run.current_slot == 0) continue;
    const SlotRow& before = rows[run.current_slot - 1];
    SlotRow& row = rows[run.current_slot];
    std::memcpy(row.name, before.name, name_size);
    row.length = before.length;
    row.off = before.off;
    row.rate_flag = before.rate_flag;
  }
}

int slot_of_number(Run& run, EntryPass& pass, int number) {
  for (const SoundRange& range : ranges) {
    if (number < range.first_number || number >= range.first_number + bank_slots) continue;
    pass.high_numbers_used = 1;
    if (pass.read_state == ReadState::reading_auto)
      fail_mixed_numbering(run, run.release.exit.*range.in_auto_block);
    if (run.current_slot < range.first_slot) {
      carry_forward(run, range.carry_on_entry);
      run.current_slot = range.first_slot;
    }
    int slot = range.first_slot + number - range.first_number;
    carry_forward(run, slot);  // a number may jump ahead within its range
    return slot;
  }
  return number;
}

// The index of the colon at the 3rd to 7th character, or -1.
int colon_index(const char* line) {
  size_t length = std::strlen(line);
  for (size_t i = 2; i <= 6 && i < length; ++i)
    if (line[i] == ':') return static_cast<int>(i);
  return -1;
}

void to_capitals(char* name) {
  for (; *name; ++name)
    if (*name >= 'a' && *name <= 'z') *name = static_cast<char>(*name - 'a' + 'A');
}

// A name already held by a lower row is not read again: the row shares its data.
bool share_earlier(Run& run, const char* name) {
  auto& rows = run.slots.rows;
  for (int i = 0; i < run.current_slot; ++i) {
    if (std::strcmp(rows[i].name, name) != 0) continue;
    SlotRow& row = rows[run.current_slot];
    row.off = rows[i].off;
    row.rate_flag = rows[i].rate_flag;
    row.length = rows[i].length;
    store_name(row.name, name);
    ++run.current_slot;
    return true;
  }
  return false;
}

// An entry line in line_buffer: sound number, colon, one separating
// character, the file name to the end of the line.
void handle_entry(Run& run, EntryPass& pass) {
  const ExitCodes& exit = run.release.exit;
  char* line = run.line_buffer;
  int colon = colon_index(line);
  if (colon < 0)
    fail_line(run, Stream::err, "ungültige Zeile (kein Doppelpunkt) %s\n", exit.no_colon);
  // A line that ends with its colon has an empty name.
  char* name = line[colon + 1] == '\0' ? line + colon + 1 : line + colon + 2;

  int number = 0;
  for (const char* digit = line; *digit >= '0' && *digit <= '9'; ++digit)
    number = number * 10 + (*digit - '0');
  if (slot_of_number(run, pass, number) != run.current_slot)
    fail_line(run, Stream::out, "ungültige Soundnummer: %s\n", exit.wrong_sound_number);
  if (run.current_slot >= run.flash.slot_count) {
    say(run.console, Stream::out, "zu viele Zeilen!\n");
    fatal_exit(run, exit.too_many_lines);
  }
  if (std::strncmp(name, "---", 3) == 0) {
    ++run.current_slot;
    return;
  }
  to_capitals(name);
  if (!share_earlier(run, name)) load_sound(run, name);
}

int speed_step_of(Run& run, EntryPass& pass) {
  int step = read_decimal(run.line_buffer + 4);
  if (step == 0) {
    step = static_cast<int>(pass.step_accumulator);
    int lines = run.flash.auto_anzahl > 0 ? run.flash.auto_anzahl : 1;
    pass.step_accumulator = pass.step_accumulator + 126.0 / lines;
  }
  if (step < 1 || step > max_speed_step) {
    say(run.console, Stream::err, "ungültige Zeile%s\nFahrstufe nicht im Bereich 1 bis %d\n",
        run.line_buffer, max_speed_step);
    fatal_exit(run, run.release.exit.auto_step_range);
  }
  return step;
}

// One of the three lines after an AUTO line, taken as it is.
const char* next_block_line(Run& run, const EntryPass& pass) {
  if (!read_text_line(run.list_file.get(), run.line_buffer, line_buffer_size)) {
    say(run.console, Stream::err,
        "unvollständiger AUTO-Block: %s\n"
        "nach der AUTO-Zeile fehlen Zeilen, drei werden erwartet!\n",
        pass.auto_line);
    fatal_exit(run, run.release.exit.auto_block_incomplete);
  }
  strip_newlines(run.line_buffer);
  return run.line_buffer;
}

// An AUTO line and its three lines: the sounds of one speed step in the
// three upper banks. Speed steps 1 and 2 share row 0 of the third bank.
void handle_auto_block(Run& run, EntryPass& pass) {
  pass.read_state = ReadState::reading_auto;
  if (pass.high_numbers_used) fail_mixed_numbering(run, run.release.exit.auto_after_high_numbers);
  int step = speed_step_of(run, pass);
  std::memcpy(pass.auto_line, run.line_buffer, line_buffer_size);
  AutoTables& autos = run.autos;
  int third_row = step == 1 ? 0 : step - 2;
  store_name(autos.auto_1000[step - 1], next_block_line(run, pass));
  autos.auto_step_used[step - 1] = 1;
  store_name(autos.auto_2000[step - 1], next_block_line(run, pass));
  store_name(autos.auto_3000[third_row], next_block_line(run, pass));
  autos.auto_third_given[third_row] = 1;
}

void handle_line(Run& run, EntryPass& pass) {
  const char* line = run.line_buffer;
  if (std::strlen(line) < 3 || line[0] == ';' || line[0] == '*') return;
  if (std::strncmp(line, "AUTO", 4) == 0)
    handle_auto_block(run, pass);
  else if (line[0] >= '0' && line[0] <= '9')
    handle_entry(run, pass);
  else
    fail_line(run, Stream::err, "ungültige Zeile: %s!\n", run.release.exit.invalid_line);
}

// An empty second line takes the nearest lower given one; empty first and
// third lines take the second line of their own row.
void fill_auto_gaps(AutoTables& autos) {
  for (int k = 1; k < auto_rows; ++k) {
    if (!autos.auto_2000[k][0]) std::memcpy(autos.auto_2000[k], autos.auto_2000[k - 1], name_size);
    if (!autos.auto_1000[k][0]) std::memcpy(autos.auto_1000[k], autos.auto_2000[k], name_size);
    if (!autos.auto_3000[k][0]) std::memcpy(autos.auto_3000[k], autos.auto_2000[k], name_size);
  }
}

// Each row becomes an entry line, handled as if it stood in the file.
void emit_rows(Run& run, EntryPass& pass, ReadState state, int first_number,
               const char (&rows)[auto_rows][name_size]) {
  pass.read_state = state;
  for (int j = 0; j < auto_rows; ++j) {
    std::snprintf(run.line_buffer, line_buffer_size, "%4d: %s", first_number + j, rows[j]);
    handle_entry(run, pass);
  }
}

void finish_auto_blocks(Run& run, EntryPass& pass) {
  AutoTables& autos = run.autos;
  if (!autos.auto_2000[0][0]) {
    say(run.console, Stream::err, "AUTO-Sounds müssen bei Fahrstufe 1 beginnen!\n");
    fatal_exit(run, run.release.exit.auto_without_step_1);
  }
  fill_auto_gaps(autos);
  emit_rows(run, pass, ReadState::emit_1000, 1000, autos.auto_1000);
  emit_rows(run, pass, ReadState::emit_2000, 2000, autos.auto_2000);
  emit_rows(run, pass, ReadState::emit_3000, 3000, autos.auto_3000);
}

}  // namespace

void assign_slots(Run& run) {
  EntryPass pass;
  while (read_text_line(run.list_file.get(), run.line_buffer, line_buffer_size)) {
    strip_newlines(run.line_buffer);
    handle_line(run, pass);
  }
  if (pass.read_state == ReadState::reading_auto) finish_auto_blocks(run, pass);
  pass.read_state = ReadState::done;
  // The last bank is carried to its end; its last row keeps what it holds.
  if (run.current_slot > ranges[2].first_slot) carry_forward(run, max_slots - 1);
}

}  // namespace zirpton
