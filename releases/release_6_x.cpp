// Releases 6.6, 6.2 and 6.1a: single pages on the line, a 3-second pause in
// place of the key, a flash of 0x84000 unless the list names one, no checks
// after the directive pass. 6.2 and 6.1a know no Mega168 and no 8 MBit, link
// the AUTO banks without the block marks and wait 12 s after the entry;
// 6.1a wants the RIFF size exact.
#include "releases/release.h"

namespace zirpton {
namespace {

constexpr Directive directives_6_6[] = {
    {"**16MBit", DirectiveEffect::flash_size, 0x210000},
    {"**Mega168", DirectiveEffect::mega_168, 0},
    {"**8MBit", DirectiveEffect::flash_size, 0x108000},
    {"**PAD-12", DirectiveEffect::pad_to_12, 0},
    {"**4.Generation", DirectiveEffect::generation_4, 0},
    {"AUTO", DirectiveEffect::auto_line, 0},
};

constexpr Directive directives_6_2[] = {
    {"**16MBit", DirectiveEffect::flash_size, 0x210000},
    {"**PAD-12", DirectiveEffect::pad_to_12, 0},
    {"**4.Generation", DirectiveEffect::generation_4, 0},
    {"AUTO", DirectiveEffect::auto_line, 0},
};

// The codes of the checks, in the order of the table of every release:
// AUTO limit, AUTO after high numbers, high numbers 1000/2000/3000 in AUTO,
// speed step, invalid line, no colon, too many lines, no step 1, sound not
// found, header, format, read/write 16-bit, read/write 8-bit, too large,
// the four pairing checks, CV number, CV value.
struct CodeRow {
  int too_many_auto, auto_after_high, high_1000, high_2000, high_3000, step_range, invalid_line,
      no_colon, too_many_lines, no_step_1, not_found, header, format, read_16, write_16, read_8,
      write_8, too_large, pair_1, pair_2, pair_3, pair_4, cv_number, cv_value;
};

ExitCodes exit_codes(const CodeRow& row) {
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

Release release_6(const char* version, const char* banner, std::span<const Directive> directives,
                  ConfigLine config_line, const CodeRow& codes) {
  return Release{
      .version = version,
      .program = "zirpton",
      .banner = banner,
      .usage_line = "Usage: zirpton COMx filelist cv-defaults\n",
      .fatal_end = FatalEnd::pause_3000,
      .usage_end = FatalEnd::pause_3000,
      .exit = exit_codes(codes),
      .initial_flash_size = 0x84000,
      .directives = directives,
      .checks_generation_and_size = false,
      .config_line = config_line,
      .riff_size_exact = false,
      .auto_links = AutoLinks::without_marks,
      .entry_pause_ms = 12000,
      .framing = Framing::single_pages,
      .rts_pulses = 10,
  };
}

Release make_6_6() {
  Release release = release_6("6.6", "Zirpton Version 6.6, 6.1.2012\n", directives_6_6,
                              ConfigLine::with_new_sound,
                              {315, 344, 411, 422, 436, 356, 386, 403, 457, 610, 486, 494, 531,
                               551, 562, 574, 581, 675, 688, 694, 700, 706, 861, 868});
  release.auto_links = AutoLinks::with_marks;
  release.entry_pause_ms = 6000;
  return release;
}

Release make_6_2() {
  return release_6("6.2", "Zirpton Version 6.2, 7.4.2009\n", directives_6_2, ConfigLine::none,
                   {304, 326, 384, 395, 409, 338, 359, 376, 430, 583, 459, 467, 504, 524, 535,
                    547, 554, 648, 661, 667, 673, 679, 824, 831});
}

// 6.1a let a sound file that its chunk walk rejects run on; such a run now
// ends there, with the message of the later releases and a code of its own.
Release make_6_1a() {
  Release release = release_6("6.1a", "Zirpton Version 6.1a, 12.2.2009\n", directives_6_2,
                              ConfigLine::none,
                              {300, 322, 380, 391, 405, 334, 355, 372, 426, 579, 455,
                               code_header_problem_6_1a, 500, 520, 531, 543, 550, 644, 657, 663, 669,
                               675, 820, 827});
  release.riff_size_exact = true;
  return release;
}

const Release release_6_6_description = make_6_6();
const Release release_6_2_description = make_6_2();
const Release release_6_1a_description = make_6_1a();

}  // namespace

const Release& release_6_6() { return release_6_6_description; }
const Release& release_6_2() { return release_6_2_description; }
const Release& release_6_1a() { return release_6_1a_description; }

}  // namespace zirpton
