#include "releases/oldest_run.h"

#include <cstring>

#include "cv/cv_defaults.h"
#include "driver/fatal_exit.h"
#include "driver/messages.h"
#include "driver/run_start.h"
#include "image/slot_checks.h"
#include "link/programming_entry.h"
#include "link/slot_record.h"
#include "link/stream.h"
#include "link/stream_parts.h"
#include "releases/oldest_entries.h"

namespace zirpton {
namespace {

constexpr uint32_t size_16_mbit = 0x210000;

// One bank of a fixed size; the header is the CV page and the records.
void set_up_flash(Run& run) {
  FlashConfig& flash = run.flash;
  flash.FLASHSIZE = run.release.initial_flash_size;
  flash.pad_to_12 = 1;
  flash.slot_count = run.release.fixed_slot_count;
  flash.header_bytes = (flash.slot_count / run.release.records_per_page + run.release.cv_pages) *
                       static_cast<int>(flash_page_size);
}

// Only the first line can name the size; any other first line is an entry.
void read_size_line(Run& run) {
  std::FILE* list = run.list_file.get();
  if (read_text_line(list, run.line_buffer, line_buffer_size) &&
      std::strncmp(run.line_buffer, "**16MBit", 8) == 0)
    run.flash.FLASHSIZE = size_16_mbit;
  else
    std::rewind(list);
}

void derive_capacity(Run& run) {
  uint32_t header = static_cast<uint32_t>(run.flash.header_bytes);
  run.flash.capacity_seconds = seconds_of(run.flash.FLASHSIZE - header);
  run.current_slot = 0;
  run.running_offset = header;
}

// These receivers are reset with both lines asserted, and work with both
// lines off; the half second after it comes also without a reset.
void reset_before_the_list(Run& run) {
  if (run.settings.file_mode) return;
  ByteChannel& channel = run.channel;
  if (run.settings.reset_mode != 0) {
    channel.pause(500);
    channel.send_raw('A');
    channel.pause(200);
    channel.set_lines(true, true);
    say(run.console, Stream::out, "10 Sekunden Reset....");
    run.console.flush();
    channel.pause(run.settings.reset_mode == 2 ? 2000 : 10000);
    say(run.console, Stream::out, "\n");
    channel.set_lines(false, false);
  }
  channel.pause(500);
}

// The whole flash written with 0xFF, the CV page and the header included.
void delete_flash(Run& run) {
  say(run.console, Stream::out, "Deleting Flash!\n");
  uint8_t* block = run.work_buffer;
  std::memset(block, 0xFF, flash_page_size);
  for (uint32_t page = 0; page < run.flash.FLASHSIZE / flash_page_size; ++page) {
    if (std::fwrite(block, 1, flash_page_size, run.temp_file.get()) != flash_page_size) {
      report_system_error(run.console, temp_file_name);
      fatal_exit(run, run.release.exit.write_8);
    }
  }
  if (std::fclose(run.temp_file.release()) != 0) {
    report_system_error(run.console, temp_file_name);
    fatal_exit(run, run.release.exit.write_8);
  }
  send_entry_and_wait(run);
  Framer framer{run.release.framing};
  Progress progress;
  open_sound_data(run, run.flash.FLASHSIZE);
  send_sound_data(run, framer, progress, true);
  send_trailer(run, framer);
}

// The oldest release sends the header first, its first page announced right
// after the entry, and reads the CV file only then.
void send_header_first(Run& run) {
  Framer framer{run.release.framing};
  Progress progress;
  announce_page(run, framer);
  send_header(run, framer, progress, true);
  run.list_file.reset();
  read_cv_defaults(run);
  send_cv_page(run, framer, 1);
  if (!run.settings.file_mode) run.channel.pause(30);
  open_sound_data(run, run.running_offset);
  progress.count = run.release.progress_start;
  send_sound_data(run, framer, progress);
  send_trailer(run, framer);
}

void program_the_list(Run& run) {
  assign_slots_in_file_order(run);
  check_slots(run);
  if (!run.settings.file_mode) send_entry_and_wait(run);
  if (run.release.header_first) {
    send_header_first(run);
  } else {
    read_cv_defaults(run);
    send_image(run);
  }
}

}  // namespace

void run_oldest(Run& run, int argc, const char* const* argv) {
  run.settings.verbose = run.console.env_present("QZ_HOME");
  print_banner(run);
  const int args = argc - 1;
  if (args < 2) end_with_usage(run);
  open_port_of_argument(run, argv[1]);
  const bool delete_mode = args == 2;
  if (delete_mode && std::strcmp(argv[2], "delete") != 0) end_with_usage(run);
  if (!delete_mode) open_cv_file(run, argv[3]);
  create_temp_file(run);
  if (args == 4) create_output_file(run, argv[4]);
  set_up_flash(run);
  if (!delete_mode) {
    open_list_file(run, argv[2]);
    read_size_line(run);
  }
  derive_capacity(run);
  reset_before_the_list(run);
  if (delete_mode)
    delete_flash(run);
  else
    program_the_list(run);
}

}  // namespace zirpton
