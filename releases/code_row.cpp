#include "releases/code_row.h"

namespace zirpton {

ExitCodes exit_codes_of(const CodeRow& row) {
  ExitCodes codes;
  codes.too_many_auto = row.too_many_auto;
  codes.no_generation = no_check;
  codes.no_flashsize = no_check;
  codes.auto_after_high_numbers = row.auto_after_high;
  codes.high_1000_in_auto = row.high_1000;
  codes.high_2000_in_auto = row.high_2000;
  codes.high_3000_in_auto = row.high_3000;
  codes.auto_step_range = row.step_range;
  codes.invalid_line = row.invalid_line;
  codes.no_colon = row.no_colon;
  codes.wrong_sound_number = 34;
  codes.too_many_lines = row.too_many_lines;
  codes.auto_without_step_1 = row.no_step_1;
  codes.auto_block_incomplete = code_auto_block_incomplete;
  codes.sound_not_found = row.not_found;
  codes.header_problem = row.header;
  codes.sound_too_short = no_check;
  codes.format_problem = row.format;
  codes.short_read_16 = row.read_16;
  codes.write_16 = row.write_16;
  codes.short_read_8 = row.read_8;
  codes.write_8 = row.write_8;
  codes.too_large = row.too_large;
  codes.pair_unused_used_4 = row.pair_1;
  codes.pair_used_unused_4 = row.pair_2;
  codes.pair_unused_used_8 = row.pair_3;
  codes.pair_used_unused_8 = row.pair_4;
  codes.cv_number = row.cv_number;
  codes.cv_value = row.cv_value;
  codes.cv_missing_number = code_cv_missing_number;
  codes.port_writes_failed = code_port_writes_failed;
  return codes;
}

}  // namespace zirpton
