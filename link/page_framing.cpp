#include "link/page_framing.h"

#include "link/slot_record.h"

namespace zirpton {
namespace {

constexpr uint8_t end_byte = 0x33;

// Page pairs: "v" FF FF "#", the 528 bytes of two pages, 96 bytes 0xFF.
constexpr uint8_t pair_command[] = {0x76, 0xFF, 0xFF, 0x23};
constexpr int pair_fill_length = 96;
constexpr uint8_t pair_fill_byte = 0xFF;

// Single pages: "W" before each page ("u" before the first CV half of a
// 4th-generation list), with pauses that give the receiver time to write.
constexpr uint8_t single_command = 0x57;
constexpr uint8_t generation_4_cv_command = 0x75;
constexpr uint32_t command_pause_ms = 1;
constexpr uint32_t page_pause_ms = 30;

bool port_run(const Run& run) { return !run.settings.file_mode; }
bool pairs(const Framer& framer) { return framer.framing == Framing::page_pairs; }

void send_pair_command(Run& run) {
  for (uint8_t byte : pair_command) run.channel.send_raw(byte);
}

void send_pair_fill(Run& run) {
  for (int i = 0; i < pair_fill_length; ++i) run.channel.send_raw(pair_fill_byte);
}

// A page either completes the open pair or opens a new one behind the fill
// of the last.
void pair_boundary(Run& run, Framer& framer) {
  if (framer.pair_open) {
    framer.pair_open = false;
    return;
  }
  send_pair_fill(run);
  send_pair_command(run);
  framer.pair_open = true;
}

void send_single_command(Run& run, uint8_t command = single_command) {
  run.channel.send_raw(command);
  run.channel.pause(command_pause_ms);
}

}  // namespace

void announce_page(Run& run, Framer& framer) {
  if (!port_run(run)) return;
  if (pairs(framer))
    send_pair_command(run);
  else
    send_single_command(run);
}

void before_cv_half(Run& run, Framer& framer, int half) {
  if (!port_run(run)) return;
  if (pairs(framer)) {
    // The CV page is one pair; its command goes out whatever came before.
    if (half == 0) send_pair_command(run);
    framer.pair_open = false;
    return;
  }
  run.channel.pause(page_pause_ms);
  if (half == 0) {
    send_single_command(run, run.flash.generation_4 ? generation_4_cv_command : single_command);
  } else {
    run.channel.pause(page_pause_ms);
    send_single_command(run);
  }
}

void before_header_page(Run& run, Framer& framer) {
  if (!port_run(run)) return;
  if (pairs(framer)) return pair_boundary(run, framer);
  run.channel.pause(page_pause_ms);
  send_single_command(run);
}

void before_data_page(Run& run, Framer& framer) {
  if (!port_run(run)) return;
  if (pairs(framer)) return pair_boundary(run, framer);
  send_single_command(run);
}

void after_data_page(Run& run, Framer& framer) {
  if (!port_run(run) || pairs(framer)) return;
  run.channel.pause(page_pause_ms);
}

void end_image_frame(Run& run, Framer& framer) {
  if (!port_run(run)) return;
  if (!pairs(framer)) {
    run.channel.send_raw(end_byte);
    run.channel.pause(page_pause_ms);
    return;
  }
  if (framer.pair_open) {
    // Zeros add nothing to the checksum; they only complete the pair.
    run.channel.page_bytes = 0;
    while (run.channel.page_bytes < static_cast<int32_t>(flash_page_size))
      run.channel.send_counted(0x00);
  }
  send_pair_fill(run);
  run.channel.send_raw(end_byte);
}

void finish_port_run(Run& run) {
  if (port_run(run)) run.channel.finish(run.release.rts_pulses);
}

}  // namespace zirpton
