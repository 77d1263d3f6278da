// Releases 5.4 and 5.3: release 6.1a with a sound header of fixed layout in
// place of the chunk walk, PAD-12 always on, only three directives, no AUTO
// table, the shorter listing, and QZ_HOME looked up at every verbose line.
// 5.3 links no AUTO banks and puts 0xFE and the rate bit into byte 7.
#include "releases/code_row.h"
#include "releases/release.h"

namespace zirpton {
namespace {

constexpr Directive directives_5[] = {
    {"**16MBit", DirectiveEffect::flash_size, 0x210000},
    {"**4.Generation", DirectiveEffect::generation_4, 0},
    {"AUTO", DirectiveEffect::auto_line, 0},
};

Release release_5(const char* banner, const CodeRow& codes) {
  Release release = release_6_1a();
  release.banner = banner;
  release.exit = exit_codes_of(codes);
  release.exit.sound_too_short = code_sound_too_short;
  release.directives = directives_5;
  release.riff_size_exact = false;
  release.sound_header = SoundHeader::fixed_block;
  release.format_problem_message = "Formatproblem bei File %s (*bybsp=%d, *bibsp=%d)\n";
  release.pad_always = true;
  release.auto_table = false;
  release.listing = ListingStyle::plain;
  release.verbose_looked_up_live = true;
  return release;
}

Release make_5_4() {
  return release_5("Zirpton Version 5.4, 2.12.2008\n",
                   {214, 236, 294, 305, 319, 248, 269, 286, 340, 480, 369, no_check, 404, 424,
                    435, 447, 454, 545, 558, 564, 570, 576, 708, 715});
}

Release make_5_3() {
  Release release = release_5("Zirpton Version 5.3, 26.11.2008\n",
                              {213, 235, 293, 304, 318, 247, 268, 285, 339, 479, 368, no_check,
                               403, 423, 434, 446, 453, 544, 557, 563, 569, 575, 659, 666});
  release.auto_links = AutoLinks::none;
  release.record_byte_7 = RecordByte7::fe_and_rate;
  release.pi_in_record_line = false;
  return release;
}

}  // namespace

const Release& release_5_4() {
  static const Release release = make_5_4();
  return release;
}

const Release& release_5_3() {
  static const Release release = make_5_3();
  return release;
}

}  // namespace zirpton
