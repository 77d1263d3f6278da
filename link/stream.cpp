#include "link/stream.h"

#include <cstdio>
#include <cstring>

#include "driver/fatal_exit.h"
#include "driver/messages.h"
#include "link/page_framing.h"
#include "link/stream_parts.h"
#include "link/slot_record.h"
#include "link/stream_end.h"

namespace zirpton {
namespace {

// Silence on the line between the header and the first sound page.
constexpr uint32_t data_pause_ms = 100;

void send_image_byte(Run& run, uint8_t byte) {
  run.channel.checksum += byte;
  run.channel.send_counted(byte);
}

// The temporary file holds unsigned samples; the receiver plays signed ones.
// The pages of the delete command go as they are.
void send_data_page(Run& run, const uint8_t* page, bool as_stored) {
  for (uint32_t i = 0; i < flash_page_size; ++i)
    send_image_byte(run, as_stored ? page[i] : static_cast<uint8_t>(page[i] + 0x80));
}

unsigned bank_position(int slot) { return static_cast<unsigned>(slot % bank_slots); }

// Some releases look QZ_HOME up again at every line that depends on it; the
// oldest prints the records in every run.
bool verbose_now(Run& run) {
  if (run.release.header_verbose_always) return true;
  return run.release.verbose_looked_up_live ? run.console.env_present("QZ_HOME")
                                            : run.settings.verbose;
}

void show_header_page(Run& run, int slot, int page) {
  if (!verbose_now(run) || run.release.listing == ListingStyle::names_only_no_pages) return;
  if (run.release.listing == ListingStyle::bank_positions)
    say(run.console, Stream::out, "i=%3d (%2x), page=%d\n", slot, bank_position(slot), page);
  else
    say(run.console, Stream::out, "i=%d, page=%d\n", slot, page);
}

void show_slot_head(Run& run, int slot, const SlotRow& row) {
  switch (run.release.listing) {
    case ListingStyle::bank_positions:
      say(run.console, Stream::out, "%4d (%2x): %s ", slot, bank_position(slot), row.name);
      break;
    case ListingStyle::plain: say(run.console, Stream::out, "%4d: %s ", slot, row.name); break;
    case ListingStyle::names_only:
    case ListingStyle::names_only_no_pages: say(run.console, Stream::out, "%s ", row.name); break;
  }
}

void show_record(Run& run, const SlotRow& row) {
  const auto off = static_cast<unsigned long>(row.off);
  const auto n = static_cast<unsigned long>(negated_length(row.length));
  const auto ptr = static_cast<unsigned long>(flash_ptr(row.off));
  if (run.release.pi_in_record_line)
    say(run.console, Stream::out, " so=0x%lx l=0x%lx ptr=0x%lx ni=%2.2x pi=%2.2x\n", off, n, ptr,
        static_cast<unsigned>(row.ni), static_cast<unsigned>(row.pi));
  else
    say(run.console, Stream::out, " so=0x%lx l=0x%lx ptr=0x%lx ni=%2.2x\n", off, n, ptr,
        static_cast<unsigned>(row.ni));
}

// The listing of a slot that holds a sound, around the end of the run for a
// length that the record cannot hold.
void check_slot(Run& run, int slot, const SlotRow& row) {
  if (verbose_now(run)) {
    show_slot_head(run, slot, row);
    if (row.rate_flag) say(run.console, Stream::out, "22kHz ");
    say(run.console, Stream::out, "%lx %lx ", static_cast<unsigned long>(row.length),
        static_cast<unsigned long>(row.off));
  }
  if (row.length > run.release.length_limit) {
    if (run.release.length_line_names_slot) {
      say(run.console, Stream::out, "%s ", row.name);
      say(run.console, Stream::out, " Länge zu groß: %ld\n", static_cast<long>(row.length));
    } else {
      say(run.console, Stream::out, "Länge zu groß: %ld\n", static_cast<long>(row.length));
    }
    fatal_exit(run, run.release.exit.length_too_large);
  }
  if (verbose_now(run)) show_record(run, row);
}

// Reads the next page of sound data into `page`, the unread tail left at
// the zero line; a failed read ends the run rather than cut the sound short.
size_t read_data_page(Run& run, uint8_t* page) {
  std::memset(page, 0x80, flash_page_size);
  const size_t got = std::fread(page, 1, flash_page_size, run.temp_file.get());
  if (got < flash_page_size && std::ferror(run.temp_file.get())) {
    report_system_error(run.console, temp_file_name);
    fatal_exit(run, run.release.exit.file_open);
  }
  return got;
}

void show_progress(Run& run, Progress& progress) {
  if (run.release.progress_counts_header) {
    ++progress.count;
    say(run.console, run.release.progress_stream, "%4d\r", progress.count);
  } else {
    say(run.console, run.release.progress_stream, "%4d\r", progress.count);
    ++progress.count;
  }
}

}  // namespace

void send_image_bytes(Run& run, const uint8_t* bytes, size_t count) {
  for (size_t i = 0; i < count; ++i) send_image_byte(run, bytes[i]);
}

// The CV page goes as two pages; the second holds no CV and is all 0xFF.
void send_cv_page(Run& run, Framer& framer, int halves) {
  for (int half = 0; half < halves; ++half) {
    before_cv_half(run, framer, half);
    send_image_bytes(run, run.work_buffer + half * flash_page_size, flash_page_size);
  }
}

void send_header(Run& run, Framer& framer, Progress& progress, bool first_page_announced) {
  if (!first_page_announced) before_header_page(run, framer);
  progress.header_page = 0;
  progress.count = 1;
  for (int slot = 0; slot < run.flash.slot_count; ++slot) {
    if (slot > 0 && slot % run.release.records_per_page == 0) {
      ++progress.header_page;
      show_header_page(run, slot, progress.header_page);
      before_header_page(run, framer);
      ++progress.count;
    }
    const SlotRow& row = run.slots.rows[slot];
    if (row.length != 0 && row.off != 0) check_slot(run, slot, row);
    const SlotRecord record = make_slot_record(row, run.release.record_byte_7);
    send_image_bytes(run, record.bytes, static_cast<size_t>(record.size));
  }
}

void open_sound_data(Run& run, uint32_t data_end) {
  run.list_file.reset();
  run.temp_file = open_binary_for_reading(temp_file_name);
  if (!run.temp_file) {
    report_system_error(run.console, temp_file_name);
    fatal_exit(run, run.release.exit.file_open);
  }
  const int less = run.release.announcement_less_2 ? 2 : 0;
  say(run.console, Stream::out, "%4d von %d Pages werden programmiert\n",
      static_cast<int>(data_end / flash_page_size) - less,
      static_cast<int>(run.flash.FLASHSIZE / flash_page_size) - less);
  if (!run.settings.file_mode) run.channel.pause(data_pause_ms);
}

void send_sound_data(Run& run, Framer& framer, Progress& progress, bool as_stored) {
  uint8_t* page = run.work_buffer;
  size_t got;
  while ((got = read_data_page(run, page)) == flash_page_size) {
    before_data_page(run, framer);
    send_data_page(run, page, as_stored);
    after_data_page(run, framer);
    show_progress(run, progress);
  }
  run.temp_file.reset();
  std::remove(temp_file_name);
  if (got > 0) {
    before_data_page(run, framer);
    send_data_page(run, page, as_stored);
    after_data_page(run, framer);
    say(run.console, Stream::out, "%4d\n", progress.count);
  }
}

void send_trailer(Run& run, Framer& framer) {
  end_image_frame(run, framer);
  run.channel.send_checksum();
  check_output_written(run);
  say(run.console, Stream::out, "\nmy checksum:0x%x\n", run.channel.checksum);
  if (run.settings.file_mode) return;
  finish_port_run(run);
  check_port_writes(run);
}

void send_image(Run& run) {
  Framer framer{run.release.framing};
  Progress progress;
  send_cv_page(run, framer, 2);
  send_header(run, framer, progress, false);
  open_sound_data(run, run.running_offset);
  if (!run.release.progress_counts_header) progress.count = run.release.progress_start;
  send_sound_data(run, framer, progress);
  send_trailer(run, framer);
}

}  // namespace zirpton
