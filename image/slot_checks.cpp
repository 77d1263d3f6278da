#include "image/slot_checks.h"

#include <cstdio>

#include "driver/fatal_exit.h"
#include "driver/messages.h"

namespace zirpton {
namespace {

// Where the 32 sound groups of bank 0 begin, in ascending order; 0xFF ends
// the table. The oldest releases bring tables of their own.
constexpr uint8_t newer_group_starts[] = {
    0x00, 0x04, 0x08, 0x0C, 0x0D, 0x0E, 0x0F, 0x12, 0x15, 0x18, 0x1B,
    0x1E, 0x21, 0x25, 0x2A, 0x2F, 0x34, 0x39, 0x3E, 0x43, 0x48, 0x4D,
    0x52, 0x57, 0x5C, 0x61, 0x66, 0x6B, 0x70, 0x75, 0x78, 0x7B, 0xFF,
};

constexpr uint8_t no_sound = 0xFF;
constexpr uint8_t loop_marker = 0x80;
constexpr uint8_t slot_bits = 0x7F;

// The AUTO banks by step index; steps 0 to 126 come from the AUTO rows.
constexpr int bank_1 = bank_slots;
constexpr int bank_2 = 2 * bank_slots;
constexpr int bank_3 = 3 * bank_slots;
constexpr int top_auto_step = auto_rows - 1;

// The groups that must be filled alike: slots i, i + 4 and i + 8.
constexpr int paired_slots = 4;

SlotRow& row_of(Run& run, int slot) { return run.slots.rows[slot]; }
bool is_used(Run& run, int slot) { return row_of(run, slot).name[0] != '\0'; }
bool has_sound(Run& run, int slot) { return row_of(run, slot).length != 0; }
uint32_t off_of(Run& run, int slot) { return row_of(run, slot).off; }

const uint8_t* group_starts(const Run& run) {
  return run.release.group_starts.empty() ? newer_group_starts : run.release.group_starts.data();
}

// Bank 0, or the one bank of the oldest releases when it is smaller.
int bank_0_end(const Run& run) {
  return run.flash.slot_count < bank_slots ? run.flash.slot_count : bank_slots;
}

// Both lines take the seconds used and possible; the oldest release names
// its maximum in the text and leaves the second number out.
void check_size(Run& run) {
  double used = seconds_of(run.running_offset);
  double possible = run.flash.capacity_seconds;
  if (run.running_offset > run.flash.FLASHSIZE) {
    say(run.console, Stream::out, run.release.too_large_line, used, possible);
    fatal_exit(run, run.release.exit.too_large);
  }
  say(run.console, Stream::out, run.release.seconds_line, used, possible);
}

// The last sound bytes may still sit in the file's buffer: a failed close
// would otherwise send a short image without a word.
void close_temp_file(Run& run) {
  std::FILE* file = run.temp_file.release();
  if (file && std::fclose(file) != 0) {
    report_system_error(run.console, temp_file_name);
    fatal_exit(run, run.release.exit.write_8);
  }
}

void check_pair(Run& run, int slot, int partner, int code_unused_used, int code_used_unused) {
  if (!is_used(run, slot) && is_used(run, partner)) {
    say(run.console, Stream::out, "Fehler: Slot %d unbenutzt, Slot %d benutzt!\n", slot, partner);
    fatal_exit(run, code_unused_used);
  }
  if (is_used(run, slot) && !is_used(run, partner)) {
    say(run.console, Stream::out, "Fehler: Slot %d benutzt, Slot %d unbenutzt!\n", slot, partner);
    fatal_exit(run, code_used_unused);
  }
}

void check_pairing(Run& run) {
  const ExitCodes& exit = run.release.exit;
  for (int i = 0; i < paired_slots; ++i) {
    check_pair(run, i, i + 4, exit.pair_unused_used_4, exit.pair_used_unused_4);
    check_pair(run, i, i + 8, exit.pair_unused_used_8, exit.pair_used_unused_8);
  }
}

int group_start_of(const Run& run, int slot) {
  while (!is_group_start(group_starts(run), slot)) --slot;
  return slot;
}

// Where a run of sounds loops back to: the first slot of its group that has
// a sound. That is the group's start whenever the start has a sound; a group
// whose start is empty loops to its first sound, so that it still stays in
// its own group.
int loop_target(Run& run, int slot) {
  int target = group_start_of(run, slot);
  while (!has_sound(run, target)) ++target;
  return target;
}

uint8_t bank_0_ni(Run& run, int slot) {
  if (!has_sound(run, slot)) return no_sound;
  int next = slot + 1;
  if (next < bank_0_end(run) && !is_group_start(group_starts(run), next) && has_sound(run, next))
    return static_cast<uint8_t>(next);
  // Seven bits name the slot; the loop marker stays set above slot 127 too.
  return static_cast<uint8_t>(loop_marker | (loop_target(run, slot) & slot_bits));
}

void link_bank_0(Run& run) {
  for (int slot = 0; slot < bank_0_end(run); ++slot) row_of(run, slot).ni = bank_0_ni(run, slot);
}

void set_auto_ni(Run& run, int step, int value) {
  for (int bank : {bank_1, bank_2, bank_3}) row_of(run, bank + step).ni = static_cast<uint8_t>(value);
}

void set_auto_pi(Run& run, int step, int value) {
  for (int bank : {bank_1, bank_2, bank_3}) row_of(run, bank + step).pi = static_cast<uint8_t>(value);
}

bool with_marks(const Run& run) { return run.release.auto_links == AutoLinks::with_marks; }

// The next step above whose running sound differs or, with the marks, that a
// block set itself.
int step_above(Run& run, int step) {
  for (int above = step + 1; above < top_auto_step; ++above)
    if (off_of(run, bank_2 + above) != off_of(run, bank_2 + step) ||
        (with_marks(run) && run.autos.auto_step_used[above]))
      return above;
  return 0;
}

// The next step below whose braking sound differs from this step's. With the
// marks, a step that a block gave a third line counts too, and a braking
// sound that is this step's running sound does not differ.
int step_below(Run& run, int step) {
  for (int below = step - 1; below >= 0; --below) {
    uint32_t braking = off_of(run, bank_3 + below);
    if (!with_marks(run)) {
      if (braking != off_of(run, bank_3 + step)) return below;
    } else if (run.autos.auto_third_given[below] ||
               (braking != off_of(run, bank_3 + step) && braking != off_of(run, bank_2 + step))) {
      return below;
    }
  }
  return 0;
}

void link_auto_banks(Run& run) {
  for (int step = 0; step < top_auto_step; ++step) set_auto_ni(run, step, step_above(run, step));
  for (int step = top_auto_step; step >= 1; --step) set_auto_pi(run, step, step_below(run, step));
}

void print_auto_table(Run& run) {
  for (int step = 0; step < top_auto_step; ++step) {
    const SlotRow& up = row_of(run, bank_1 + step);
    const SlotRow& running = row_of(run, bank_2 + step);
    const SlotRow& down = row_of(run, bank_3 + step);
    say(run.console, Stream::out, "%3d 0x%2.2x %s %2.2x/%2.2x ", step, step, up.name, up.ni, up.pi);
    say(run.console, Stream::out, "%s %2.2x/%2.2x ", running.name, running.ni, running.pi);
    say(run.console, Stream::out, "%s %2.2x/%2.2x\n", down.name, down.ni, down.pi);
  }
}

void print_listing(Run& run) {
  for (int slot = 0; slot < run.flash.slot_count; ++slot) {
    const SlotRow& row = row_of(run, slot);
    if (row.length == 0) continue;
    if (run.release.listing == ListingStyle::bank_positions)
      say(run.console, Stream::out, "%3d (%2x): ", slot, slot % bank_slots);
    else
      say(run.console, Stream::out, "%2.2d: ", slot);
    say(run.console, Stream::out, "%s l=%ld off=%ld ni=%d", row.name, static_cast<long>(row.length),
        static_cast<long>(row.off), row.ni & slot_bits);
    if (row.ni & loop_marker) say(run.console, Stream::out, "(*)");
    say(run.console, Stream::out, "\n");
  }
}

}  // namespace

bool is_group_start(const uint8_t* table, int slot) {
  const uint8_t low = static_cast<uint8_t>(slot & 0xFF);
  for (const uint8_t* start = table; *start != 0xFF; ++start)
    if (*start == low) return true;
  return false;
}

void check_slots(Run& run) {
  check_size(run);
  close_temp_file(run);
  if (run.release.pairing_check) check_pairing(run);
  link_bank_0(run);
  // Without "**4.Generation" there are no AUTO banks to link.
  if (run.flash.generation_4 && run.release.auto_links != AutoLinks::none) {
    link_auto_banks(run);
    if (run.settings.verbose && run.release.auto_table) print_auto_table(run);
  }
  print_listing(run);
}

}  // namespace zirpton
