// How the image is framed on the port: the page commands and fills around
// the image pages, the end byte and the end of a port run. The image bytes
// themselves, their sum and the output file are the stream's own business.
#pragma once

#include <array>
#include <cstdint>

#include "driver/run.h"

namespace zirpton {

// The numbers of the receiver's page protocol, together in one record
// because the receiver generations differ in them.
struct PageFraming {
  std::array<uint8_t, 4> page_command;  // announces a page pair
  int fill_length;                      // bytes behind every pair
  uint8_t fill_byte;
  uint8_t end_byte;  // behind the last fill, before the checksum
  int rts_pulses;    // at the very end of a port run
};

// Pairs of two 264-byte pages, each pair behind "v" FF FF "#" and before
// 96 bytes 0xFF.
inline constexpr PageFraming page_pair_framing{{0x76, 0xFF, 0xFF, 0x23}, 96, 0xFF, 0x33, 10};

struct PairFramer {
  const PageFraming& framing;
  // A page command is out and only the first page of its pair begun.
  bool pair_open = false;
};

// Both send nothing in file-output mode.
void send_page_command(Run& run, const PageFraming& framing);
void send_page_fill(Run& run, const PageFraming& framing);

// Before the CV page: its pair's command.
void begin_image_frame(Run& run, PairFramer& framer);
// Before every page after the CV page: the page either completes the open
// pair or opens a new one behind the fill of the last.
void page_boundary(Run& run, PairFramer& framer);
// Behind the last image page, in port runs: a page of zeros completes an
// open pair, then the fill and the end byte.
void end_image_frame(Run& run, PairFramer& framer);
// The end of a port run: the line is held, then RTS pulses.
void finish_port_run(Run& run, const PageFraming& framing);

}  // namespace zirpton
