#include "releases/exit_code_table.h"

namespace zirpton {
namespace {

constexpr ExitCheck checks[] = {
    {"fewer arguments than a run needs: the usage line", &ExitCodes::usage},
    {"the port can't be opened (\"Open COMn: Error e\")", &ExitCodes::port_open},
    {"the CV default file, the list file or \"zirptmp.$$$\" can't be opened, created or read "
     "back, or the output file can't be created or written completely",
     &ExitCodes::file_open},
    {"more than 126 AUTO lines", &ExitCodes::too_many_auto},
    {"no \"**4.Generation\" line", &ExitCodes::no_generation},
    {"no size directive", &ExitCodes::no_flashsize},
    {"an AUTO line after a sound number from 1000 up", &ExitCodes::auto_after_high_numbers},
    {"a sound number 1000 to 1131 after an AUTO line", &ExitCodes::high_1000_in_auto},
    {"a sound number 2000 to 2131 after an AUTO line", &ExitCodes::high_2000_in_auto},
    {"a sound number 3000 to 3131 after an AUTO line", &ExitCodes::high_3000_in_auto},
    {"an AUTO speed step outside 1 to 126", &ExitCodes::auto_step_range},
    {"a line that is no entry, AUTO line, comment or directive", &ExitCodes::invalid_line},
    {"an entry line without a colon at the 3rd to 7th character", &ExitCodes::no_colon},
    {"a sound number that does not fit the next slot", &ExitCodes::wrong_sound_number},
    {"more entries than slots", &ExitCodes::too_many_lines},
    {"AUTO blocks without one for speed step 1", &ExitCodes::auto_without_step_1},
    {"an AUTO block cut short by the end of the list file", &ExitCodes::auto_block_incomplete},
    {"a sound file can't be opened", &ExitCodes::sound_not_found},
    {"a sound file is not a RIFF WAVE file as required (\"Header-Problem\")",
     &ExitCodes::header_problem},
    {"a sound file is shorter than its fixed WAVE header", &ExitCodes::sound_too_short},
    {"a sound is neither 8-bit nor 16-bit mono (\"Formatproblem\")", &ExitCodes::format_problem},
    {"a 16-bit sound file ends before its data do", &ExitCodes::short_read_16},
    {"\"zirptmp.$$$\" can't be written (16-bit sound)", &ExitCodes::write_16},
    {"an 8-bit sound file ends before its data do", &ExitCodes::short_read_8},
    {"\"zirptmp.$$$\" can't be written (8-bit sound, fill bytes, closing)", &ExitCodes::write_8},
    {"the sounds don't fit the flash (\"Files zu groß!\")", &ExitCodes::too_large},
    {"slot i unused, slot i + 4 used", &ExitCodes::pair_unused_used_4},
    {"slot i used, slot i + 4 unused", &ExitCodes::pair_used_unused_4},
    {"slot i unused, slot i + 8 used", &ExitCodes::pair_unused_used_8},
    {"slot i used, slot i + 8 unused", &ExitCodes::pair_used_unused_8},
    {"a CV number outside 1 to 256", &ExitCodes::cv_number},
    {"a CV value above 255", &ExitCodes::cv_value},
    {"a CV line with \"=\" but no CV number or no value", &ExitCodes::cv_missing_number},
    {"a sound longer than the slot record holds (\"Länge zu groß\")", &ExitCodes::length_too_large},
    {"writes to the port failed: the receiver is not completely programmed",
     &ExitCodes::port_writes_failed},
};

constexpr ProgramRelease programs[] = {
    {"zirpton", release_7_0},
    {"zirpton-6.6", release_6_6},
    {"zirpton-6.2", release_6_2},
    {"zirpton-6.1a", release_6_1a},
    {"zirpton-5.4", release_5_4},
    {"zirpton-5.3", release_5_3},
    {"zirpto32-3.3", release_3_3},
    {"zirpto32-2.02", release_2_02},
};

}  // namespace

std::span<const ExitCheck> exit_checks() { return checks; }

std::span<const ProgramRelease> program_releases() { return programs; }

std::string exit_code_table() {
  std::string table = "| check |";
  std::string rule = "|---|";
  for (const auto& program : programs) {
    table += std::string(" ") + program.program + " |";
    rule += "---|";
  }
  table += "\n" + rule + "\n";
  for (const auto& check : checks) {
    table += std::string("| ") + check.meaning + " |";
    for (const auto& program : programs) {
      int code = program.release().exit.*check.code;
      table += code == no_check ? std::string(" - |") : " " + std::to_string(code) + " |";
    }
    table += "\n";
  }
  return table;
}

}  // namespace zirpton
