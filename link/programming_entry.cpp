// Brings the receiver into its programming mode: an optional reset through the
// DTR and RTS lines, the entry bytes, the message and the wait. The receiver is
// never heard: the pauses give it its time.
#include "link/programming_entry.h"

#include <algorithm>

#include "driver/messages.h"

namespace zirpton {
namespace {

constexpr uint32_t long_reset_ms = 10000;
constexpr uint32_t short_reset_ms = 2000;
constexpr uint8_t reset_byte = 'A';
constexpr uint8_t mega_168_entry_byte = 0x17;
constexpr uint8_t first_entry_byte = 0xF3;  // then every byte up to 0xFF
constexpr uint32_t entry_byte_pause_ms = 20;
constexpr size_t burst_length = 300;
constexpr uint8_t burst_byte = 0x55;

// Releases that know no Mega168 have no directive for it, so the flag stays 0.
bool has_mega_168(const Run& run) { return run.flash.mega_168 != 0; }

void send_entry_bytes(Run& run) {
  if (has_mega_168(run)) {
    run.channel.send_raw(mega_168_entry_byte);
    return;
  }
  for (unsigned byte = first_entry_byte; byte <= 0xFF; ++byte) {
    run.channel.send_raw(static_cast<uint8_t>(byte));
    run.channel.pause(entry_byte_pause_ms);
  }
}

}  // namespace

void reset_receiver(Run& run, int reset_mode) {
  ByteChannel& channel = run.channel;
  bool mega_168 = has_mega_168(run);
  if (!mega_168) {
    channel.pause(500);
    channel.send_raw(reset_byte);
    channel.pause(200);
  }
  channel.set_lines(true, false);  // reversed: DTR on, RTS off
  say(run.console, Stream::out, "10 Sekunden Reset....");
  run.console.flush();  // on the screen before the wait begins
  channel.pause(reset_mode == 2 ? short_reset_ms : long_reset_ms);
  say(run.console, Stream::out, "\n");
  channel.set_lines(false, true);  // the working state again
  if (mega_168) {
    uint8_t burst[burst_length];
    std::fill(std::begin(burst), std::end(burst), burst_byte);
    channel.send_block(burst, burst_length);
    channel.pause(100);
    channel.set_stop_bits(StopBits::two);  // for the rest of the run
  } else {
    channel.pause(500);
  }
}

void send_entry_and_wait(Run& run) {
  send_entry_bytes(run);
  say(run.console, Stream::out, "\nEmpfänger sollte kurz hupen\n");
  run.console.flush();
  run.channel.pause(run.release.entry_pause_ms);
}

void enter_programming(Run& run) {
  if (run.settings.file_mode) return;
  if (run.settings.reset_mode != 0) reset_receiver(run, run.settings.reset_mode);
  send_entry_and_wait(run);
}

}  // namespace zirpton
