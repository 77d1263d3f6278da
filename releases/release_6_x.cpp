// Releases 6.6, 6.2 and 6.1a: single pages on the line, a 3-second pause in
// place of the key, a flash of 0x84000 unless the list names one, no checks
// after the directive pass. 6.2 and 6.1a know no Mega168 and no 8 MBit, link
// the AUTO banks without the block marks and wait 12 s after the entry;
// 6.1a wants the RIFF size exact.
#include "releases/code_row.h"
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

Release release_6(const char* banner, std::span<const Directive> directives,
                  ConfigLine config_line, const CodeRow& codes) {
  return Release{
      .program = "zirpton",
      .banner = banner,
      .usage_line = "Usage: zirpton COMx filelist cv-defaults\n",
      .fatal_end = FatalEnd::pause_3000,
      .usage_end = FatalEnd::pause_3000,
      .exit = exit_codes_of(codes),
      .initial_flash_size = 0x84000,
      .directives = directives,
      .checks_generation_and_size = false,
      .config_line = config_line,
      .riff_size_exact = false,
      .sound_header = SoundHeader::chunk_walk,
      .format_problem_message = "Formatproblem bei File %s (Align=%d, bits=%d)\n",
      .pad_always = false,
      .auto_links = AutoLinks::without_marks,
      .auto_table = true,
      .listing = ListingStyle::bank_positions,
      .entry_pause_ms = 12000,
      .framing = Framing::single_pages,
      .rts_pulses = 10,
      .record_byte_7 = RecordByte7::pi_and_rate,
      .pi_in_record_line = true,
      .verbose_looked_up_live = false,
  };
}

Release make_6_6() {
  Release release = release_6("Zirpton Version 6.6, 6.1.2012\n", directives_6_6,
                              ConfigLine::with_new_sound,
                              {315, 344, 411, 422, 436, 356, 386, 403, 457, 610, 486, 494, 531,
                               551, 562, 574, 581, 675, 688, 694, 700, 706, 861, 868});
  release.auto_links = AutoLinks::with_marks;
  release.entry_pause_ms = 6000;
  return release;
}

Release make_6_2() {
  return release_6("Zirpton Version 6.2, 7.4.2009\n", directives_6_2, ConfigLine::none,
                   {304, 326, 384, 395, 409, 338, 359, 376, 430, 583, 459, 467, 504, 524, 535,
                    547, 554, 648, 661, 667, 673, 679, 824, 831});
}

// 6.1a let a sound file that its chunk walk rejects run on; such a run now
// ends there, with the message of the later releases and a code of its own.
Release make_6_1a() {
  Release release = release_6("Zirpton Version 6.1a, 12.2.2009\n", directives_6_2,
                              ConfigLine::none,
                              {300, 322, 380, 391, 405, 334, 355, 372, 426, 579, 455,
                               code_header_problem_6_1a, 500, 520, 531, 543, 550, 644, 657, 663, 669,
                               675, 820, 827});
  release.riff_size_exact = true;
  return release;
}

}  // namespace

// Made on first use: an earlier release is described as a changed copy of a
// later one, whatever the order in which the files are initialised.
const Release& release_6_6() {
  static const Release release = make_6_6();
  return release;
}

const Release& release_6_2() {
  static const Release release = make_6_2();
  return release;
}

const Release& release_6_1a() {
  static const Release release = make_6_1a();
  return release;
}

}  // namespace zirpton
