// What the receiver makes of a decoded stream: the image it would store, the
// checks on it, and the few lines that tell the user.
#pragma once

#include <string>
#include <vector>

#include "tools/flash-image/flash_image.h"
#include "tools/zirpton-receiver/stream_decoder.h"

namespace zirpton::tools {

struct Reception {
  StreamResult stream;
  const Layout* layout = nullptr;  // as given, or as the stream shows it
  size_t deleted_pages = 0;        // a delete command: every page 0xFF
  std::string image;               // the pages as a file-output run writes them, no checksum
  bool zero_page_dropped = false;
  bool image_read = false;  // CV page and header are there
  ImageInfo info;
  std::vector<std::string> errors;  // UTF-8, one line each
};

// `forced` nullptr: the layout is told by the stream. Without a handshake
// and with "W" first it is one of the oldest programs: 3.3 sends a page of
// 0xFF behind the CV page, 2.02 its header first.
Reception evaluate(const StreamResult& stream, const Layout* forced = nullptr);

// The image followed by the two checksum bytes, as a file-output run writes it.
std::string file_image(const Reception& reception);

// UTF-8 lines.
std::string reception_report(const Reception& reception);

// 0 only for a complete stream whose checksum matched and whose image holds up.
int reception_exit_code(const Reception& reception);

}  // namespace zirpton::tools
