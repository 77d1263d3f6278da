#include "link/page_framing.h"

#include "link/slot_record.h"

namespace zirpton {
namespace {

bool port_run(const Run& run) { return !run.settings.file_mode; }

}  // namespace

void send_page_command(Run& run, const PageFraming& framing) {
  if (!port_run(run)) return;
  for (uint8_t byte : framing.page_command) run.channel.send_raw(byte);
}

void send_page_fill(Run& run, const PageFraming& framing) {
  if (!port_run(run)) return;
  for (int i = 0; i < framing.fill_length; ++i) run.channel.send_raw(framing.fill_byte);
}

void begin_image_frame(Run& run, PairFramer& framer) {
  send_page_command(run, framer.framing);
  framer.pair_open = false;
}

void page_boundary(Run& run, PairFramer& framer) {
  if (framer.pair_open) {
    framer.pair_open = false;
    return;
  }
  send_page_fill(run, framer.framing);
  send_page_command(run, framer.framing);
  framer.pair_open = true;
}

void end_image_frame(Run& run, PairFramer& framer) {
  if (!port_run(run)) return;
  if (framer.pair_open) {
    // Zeros add nothing to the checksum; they only complete the pair.
    run.channel.page_bytes = 0;
    while (run.channel.page_bytes < static_cast<int32_t>(flash_page_size))
      run.channel.send_counted(0x00);
  }
  send_page_fill(run, framer.framing);
  run.channel.send_raw(framer.framing.end_byte);
}

void finish_port_run(Run& run, const PageFraming& framing) {
  if (port_run(run)) run.channel.finish(framing.rts_pulses);
}

}  // namespace zirpton
