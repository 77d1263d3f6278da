// One small sound project used by the whole-run tests: sounds in every bank,
// an 8-bit, a 16-bit 22050 Hz and a padded sound, file names in mixed case.
#pragma once

#include <string>

#include "tests/support/harness.h"

namespace zirpton::testing {

// Writes the sounds, "list.txt" and "cv.txt" into `dir`; with `mega_168` the
// list declares a Mega168 receiver.
void write_example_project(const ScratchDir& dir, bool mega_168 = false);

// The samples of the three sounds as the temporary file holds them.
std::string example_converted_bytes();

// Standard output of a good file-output run of the project, without the
// line with the checksum.
std::string example_listing();

}  // namespace zirpton::testing
