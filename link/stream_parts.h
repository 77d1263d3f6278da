// The steps of the programming stream, for the stream of the newer releases
// and for the variants of the oldest (header first, the delete command).
#pragma once

#include <cstdint>

#include "driver/run.h"
#include "link/page_framing.h"

namespace zirpton {

// What the listing and the progress lines count.
struct Progress {
  int header_page = 0;  // page 0 holds the first records
  int count = 0;        // the number the progress lines show
};

// Every byte of the image enters the sum before it goes out.
void send_image_bytes(Run& run, const uint8_t* bytes, size_t count);

// The CV page, the first `halves` of its two 264-byte halves.
void send_cv_page(Run& run, Framer& framer, int halves);

// One record per slot, with the verbose lines and the length check; the
// command of the first header page is sent unless it went out already.
void send_header(Run& run, Framer& framer, Progress& progress, bool first_page_announced);

// Closes the list file, opens the temporary file again, announces the pages
// of data that end at `data_end`, and in a port run pauses before them.
void open_sound_data(Run& run, uint32_t data_end);

// The pages of the temporary file, each byte made signed unless
// `as_stored`, with the progress lines.
void send_sound_data(Run& run, Framer& framer, Progress& progress, bool as_stored = false);

// End byte, checksum, "my checksum", and the end of a port run.
void send_trailer(Run& run, Framer& framer);

}  // namespace zirpton
