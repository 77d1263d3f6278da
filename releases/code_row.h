// The exit codes of a release in the order of the tables they come from, so
// that a release's table can be written down as one row.
#pragma once

#include "releases/release.h"

namespace zirpton {

// AUTO limit, AUTO after high numbers, high numbers 1000/2000/3000 in AUTO,
// speed step, invalid line, no colon, too many lines, no step 1, sound not
// found, header, format, read/write 16-bit, read/write 8-bit, too large,
// the four pairing checks, CV number, CV value.
struct CodeRow {
  int too_many_auto, auto_after_high, high_1000, high_2000, high_3000, step_range, invalid_line,
      no_colon, too_many_lines, no_step_1, not_found, header, format, read_16, write_16, read_8,
      write_8, too_large, pair_1, pair_2, pair_3, pair_4, cv_number, cv_value;
};

// The codes of a release, without the checks after the directive pass that
// only 7.0 has; the codes added by this program are filled in.
ExitCodes exit_codes_of(const CodeRow& row);

}  // namespace zirpton
