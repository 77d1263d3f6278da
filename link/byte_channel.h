// The only way out toward the receiver. Framing bytes always go to the port;
// image bytes go to the port, or in file-output mode to the output file, and
// are summed into the checksum by the stream.
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>

#include "platform/clock.h"
#include "platform/console.h"
#include "platform/serial_port.h"

namespace zirpton {

class ByteChannel {
 public:
  ByteChannel(Console& console, Clock& clock) : console_(console), clock_(clock) {}

  void attach(std::unique_ptr<SerialPort> port) { port_ = std::move(port); }

  // Reads the port configuration, sets the whole line for the stream (8N1,
  // no CTS flow, DTR off, RTS as asked, `baud`) and writes it back.
  void configure_line(uint32_t baud, bool rts);

  void send_raw(uint8_t byte);
  void send_block(const uint8_t* bytes, size_t count);
  void send_framed(uint8_t byte);
  void send_counted(uint8_t byte);
  void send_checksum();
  void set_lines(bool dtr, bool rts);
  void set_stop_bits(StopBits stop_bits);
  // A pause is silence on the line: what was written leaves the port first.
  void pause(uint32_t ms);
  // End of a port run: 5000 ms, then `rts_pulses` times RTS off and on.
  void finish(int rts_pulses);

  bool file_mode = false;
  std::FILE* output_file = nullptr;
  uint32_t checksum = 0;
  int32_t page_bytes = 0;
  uint8_t frame_xor = 0;
  int failed_writes = 0;        // port writes that reported failure
  bool output_failed = false;   // a byte could not be put into the output file

 private:
  void write_port(const uint8_t* bytes, size_t count);
  void read_config();
  void write_config();

  Console& console_;
  Clock& clock_;
  std::unique_ptr<SerialPort> port_;
  LineSettings config_;  // as last read or written
};

}  // namespace zirpton
