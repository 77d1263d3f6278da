// How the image is framed on the port: the page commands, fills and pauses
// around the image pages, the end byte and the end of a port run. The image
// bytes themselves, their sum and the output file are the stream's own
// business. In file-output mode none of this reaches the line.
#pragma once

#include "driver/run.h"

namespace zirpton {

// Where the framing stands in the stream.
struct Framer {
  Framing framing;
  // Page pairs: a page command is out and only the first page of its pair
  // has been begun.
  bool pair_open = false;
};

// The page command alone, in a port run.
void announce_page(Run& run, Framer& framer);
// Before each half of the CV page (0 and 1).
void before_cv_half(Run& run, Framer& framer, int half);
void before_header_page(Run& run, Framer& framer);
void before_data_page(Run& run, Framer& framer);
void after_data_page(Run& run, Framer& framer);
// Behind the last image page: what completes the frame, and the end byte.
void end_image_frame(Run& run, Framer& framer);
// The end of a port run: the line is held, then RTS pulses.
void finish_port_run(Run& run);

}  // namespace zirpton
