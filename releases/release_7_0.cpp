#include "releases/release.h"

namespace zirpton {
namespace {

constexpr Directive directives_7_0[] = {
    {"**16MBit", DirectiveEffect::flash_size, 0x210000},
    {"**32MBit", DirectiveEffect::flash_size, 0x420000},
    {"**Mega168", DirectiveEffect::mega_168, 0},
    {"**8MBit", DirectiveEffect::flash_size, 0x108000},
    {"**PAD-12", DirectiveEffect::pad_to_12, 0},
    {"**4.Generation", DirectiveEffect::generation_4, 0},
    {"AUTO", DirectiveEffect::auto_line, 0},
};

ExitCodes exit_codes_7_0() {
  ExitCodes codes;
  codes.too_many_auto = 334;
  codes.no_generation = 343;
  codes.no_flashsize = 349;
  codes.auto_after_high_numbers = 376;
  codes.high_1000_in_auto = 443;
  codes.high_2000_in_auto = 454;
  codes.high_3000_in_auto = 468;
  codes.auto_step_range = 388;
  codes.invalid_line = 418;
  codes.no_colon = 435;
  codes.wrong_sound_number = 34;
  codes.too_many_lines = 488;
  codes.auto_without_step_1 = 641;
  codes.auto_block_incomplete = code_auto_block_incomplete;
  codes.sound_not_found = 517;
  codes.header_problem = 525;
  codes.sound_too_short = no_check;
  codes.format_problem = 562;
  codes.short_read_16 = 582;
  codes.write_16 = 593;
  codes.short_read_8 = 605;
  codes.write_8 = 612;
  codes.too_large = 706;
  codes.pair_unused_used_4 = 719;
  codes.pair_used_unused_4 = 725;
  codes.pair_unused_used_8 = 731;
  codes.pair_used_unused_8 = 737;
  codes.cv_number = 888;
  codes.cv_value = 895;
  codes.cv_missing_number = code_cv_missing_number;
  codes.port_writes_failed = code_port_writes_failed;
  return codes;
}

const Release release{
    .version = "7.0",
    .program = "zirpton",
    .banner = "Zirpton Version 7.0, 11.5.2012\n",
    .usage_line = "Usage: zirpton COMx filelist cv-defaults\n",
    .fatal_end = FatalEnd::wait_key,
    .usage_end = FatalEnd::wait_key,
    .exit = exit_codes_7_0(),
    .initial_flash_size = 0,
    .directives = directives_7_0,
    .checks_generation_and_size = true,
    .config_line = ConfigLine::with_auto_anzahl,
    .riff_size_exact = false,
    .sound_header = SoundHeader::chunk_walk,
    .format_problem_message = "Formatproblem bei File %s (Align=%d, bits=%d)\n",
    .pad_always = false,
    .auto_links = AutoLinks::with_marks,
    .auto_table = true,
    .listing = ListingStyle::bank_positions,
    .entry_pause_ms = 6000,
    .framing = Framing::page_pairs,
    .rts_pulses = 10,
    .record_byte_7 = RecordByte7::pi_and_rate,
    .pi_in_record_line = true,
    .verbose_looked_up_live = false,
};

}  // namespace

const Release& release_7_0() { return release; }

}  // namespace zirpton
