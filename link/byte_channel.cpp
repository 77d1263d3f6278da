#include "link/byte_channel.h"

#include "driver/messages.h"

namespace zirpton {

// The results of reading and writing the configuration are not looked at: a
// device without line settings (a file, a pipe) still takes the stream.
void ByteChannel::read_config() { port_->read_settings(config_); }
void ByteChannel::write_config() { port_->write_settings(config_); }

void ByteChannel::configure_line(uint32_t baud, bool rts) {
  read_config();
  config_.cts_flow = false;
  config_.dtr = false;
  config_.rts = rts;
  config_.baud = baud;
  config_.data_bits = 8;
  config_.parity = no_parity;
  config_.stop_bits = StopBits::one;
  write_config();
}

void ByteChannel::write_port(const uint8_t* bytes, size_t count) {
  if (long error = port_->write(bytes, count); error != 0) {
    say(console_, Stream::err, "WriteFile returns %ld\n", error);
    ++failed_writes;
  }
}

void ByteChannel::send_raw(uint8_t byte) { write_port(&byte, 1); }

void ByteChannel::send_block(const uint8_t* bytes, size_t count) { write_port(bytes, count); }

void ByteChannel::send_framed(uint8_t byte) {
  send_raw(byte);
  frame_xor ^= byte;
}

void ByteChannel::send_counted(uint8_t byte) {
  ++page_bytes;
  if (output_file) {
    if (std::putc(byte, output_file) == EOF) output_failed = true;
  } else {
    send_raw(byte);
  }
}

void ByteChannel::send_checksum() {
  send_counted(static_cast<uint8_t>(checksum & 0xFF));
  send_counted(static_cast<uint8_t>((checksum >> 8) & 0xFF));
}

void ByteChannel::set_lines(bool dtr, bool rts) {
  read_config();
  config_.dtr = dtr;
  config_.rts = rts;
  write_config();
}

void ByteChannel::set_stop_bits(StopBits stop_bits) {
  config_.stop_bits = stop_bits;
  write_config();
}

void ByteChannel::pause(uint32_t ms) {
  port_->drain();
  clock_.sleep_ms(ms);
}

void ByteChannel::finish(int rts_pulses) {
  pause(5000);
  for (int i = 0; i < rts_pulses; ++i) {
    read_config();
    config_.rts = false;
    write_config();
    read_config();
    config_.rts = true;
    write_config();
  }
}

}  // namespace zirpton
