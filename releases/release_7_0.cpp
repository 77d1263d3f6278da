#include "releases/code_row.h"
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
  ExitCodes codes = exit_codes_of({334, 376, 443, 454, 468, 388, 418, 435, 488, 641, 517, 525, 562,
                                   582, 593, 605, 612, 706, 719, 725, 731, 737, 888, 895});
  // The checks after the directive pass exist only in this release.
  codes.no_generation = 343;
  codes.no_flashsize = 349;
  return codes;
}

const Release release{
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
