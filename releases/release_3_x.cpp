// Releases 3.3 and 2.02, "zirpto32": one bank filled in the order of the
// list, no handshake, the reset before the list is read, the delete
// command. 2.02 has 88 slots in six-byte records, the header before the CV
// page, copies the sound bytes as they are and ends fatal errors at once.
#include "releases/release.h"

namespace zirpton {
namespace {

constexpr uint8_t group_starts_3_3[] = {
    0x00, 0x04, 0x08, 0x0C, 0x0D, 0x0E, 0x0F, 0x12, 0x15, 0x18, 0x1B, 0x1E, 0x21, 0x25, 0x2A, 0x2F,
    0x34, 0x39, 0x3E, 0x43, 0x48, 0x4D, 0x52, 0x57, 0x5C, 0x61, 0x66, 0x6B, 0x70, 0x75, 0xFF,
};

constexpr uint8_t group_starts_2_02[] = {
    0x00, 0x04, 0x08, 0x0C, 0x0D, 0x0E, 0x0F, 0x12, 0x15, 0x18, 0x1B, 0x1E,
    0x21, 0x25, 0x2A, 0x2F, 0x34, 0x39, 0x3E, 0x43, 0x48, 0x4D, 0xFF,
};

ExitCodes without_checks() {
  ExitCodes codes;
  for (int* code : {&codes.too_many_auto, &codes.no_generation, &codes.no_flashsize,
                    &codes.auto_after_high_numbers, &codes.high_1000_in_auto,
                    &codes.high_2000_in_auto, &codes.high_3000_in_auto, &codes.auto_step_range,
                    &codes.invalid_line, &codes.no_colon, &codes.wrong_sound_number,
                    &codes.auto_without_step_1, &codes.auto_block_incomplete,
                    &codes.header_problem})
    *code = no_check;
  codes.sound_too_short = code_sound_too_short;
  codes.cv_missing_number = code_cv_missing_number;
  codes.port_writes_failed = code_port_writes_failed;
  return codes;
}

ExitCodes exit_codes_3_3() {
  ExitCodes codes = without_checks();
  codes.too_many_lines = 259;
  codes.sound_not_found = 287;
  codes.format_problem = 316;
  codes.short_read_16 = 336;
  codes.write_16 = 347;
  codes.short_read_8 = 359;
  codes.write_8 = 366;
  codes.too_large = 390;
  codes.pair_unused_used_4 = 403;
  codes.pair_used_unused_4 = 409;
  codes.pair_unused_used_8 = 415;
  codes.pair_used_unused_8 = 421;
  codes.cv_number = 503;
  codes.cv_value = 510;
  return codes;
}

ExitCodes exit_codes_2_02() {
  ExitCodes codes = without_checks();
  codes.too_many_lines = 240;
  codes.sound_not_found = 266;
  codes.format_problem = no_check;
  codes.short_read_16 = codes.short_read_8 = 289;
  codes.write_16 = codes.write_8 = 295;
  codes.too_large = 316;
  for (int* code : {&codes.pair_unused_used_4, &codes.pair_used_unused_4,
                    &codes.pair_unused_used_8, &codes.pair_used_unused_8})
    *code = no_check;
  codes.cv_number = 472;
  codes.cv_value = 478;
  return codes;
}

Release make_3_3() {
  Release release{
      .program = "zirpto32",
      .banner = "Zirpton Version 3.3, 16.1.2007\n",
      .usage_line = "Usage: zirpto32 COMx filelist cv-defaults\n",
      .fatal_end = FatalEnd::pause_3000,
      .usage_end = FatalEnd::pause_3000,
      .exit = exit_codes_3_3(),
      .initial_flash_size = 0x84000,
      .directives = {},
      .checks_generation_and_size = false,
      .config_line = ConfigLine::none,
      .riff_size_exact = false,
      .sound_header = SoundHeader::fixed_block,
      .format_problem_message = "Formatproblem bei File %s (*bybsp=%d, *bibsp=%d)\n",
      .pad_always = true,
      .auto_links = AutoLinks::none,
      .auto_table = false,
      .listing = ListingStyle::names_only,
      .entry_pause_ms = 12000,
      .framing = Framing::single_pages,
      .rts_pulses = 0,
      .record_byte_7 = RecordByte7::ff,
      .pi_in_record_line = false,
      .verbose_looked_up_live = true,
  };
  release.run_sequence = RunSequence::oldest;
  release.port_setup = PortSetup::plain;
  release.fixed_slot_count = 132;
  release.last_colon_column = 4;
  release.sound_not_found_as_system_error = true;
  release.reads_rate = false;
  release.group_starts = group_starts_3_3;
  release.progress_counts_header = false;
  release.progress_start = 4;
  release.progress_stream = Stream::out;
  return release;
}

Release make_2_02() {
  Release release = make_3_3();
  release.banner = "Zirptn Version 2.02, 28.9.2004\n";
  release.fatal_end = FatalEnd::at_once;
  release.exit = exit_codes_2_02();
  release.initial_flash_size = 0x42000;
  release.format_problem_message = nullptr;
  release.listing = ListingStyle::names_only_no_pages;
  release.entry_pause_ms = 2000;
  release.record_byte_7 = RecordByte7::none;
  release.verbose_looked_up_live = false;
  release.fixed_slot_count = 88;
  release.last_colon_column = 3;
  release.shared_rows_keep_name = false;
  release.converts_samples = false;
  release.group_starts = group_starts_2_02;
  release.seconds_line = "%.1f Sekunden von maximal 24.5 Sekunden benutzt\n";
  release.too_large_line = "Files zu groß! (%.1f Sekunden, 24.5 Sekunden möglich\n";
  release.pairing_check = false;
  release.header_verbose_always = true;
  release.length_limit = 0xFFFF;
  release.length_line_names_slot = false;
  release.records_per_page = 44;
  release.cv_pages = 1;
  release.header_first = true;
  release.announcement_less_2 = false;
  release.progress_start = 3;
  return release;
}

}  // namespace

const Release& release_3_3() {
  static const Release release = make_3_3();
  return release;
}

const Release& release_2_02() {
  static const Release release = make_2_02();
  return release;
}

}  // namespace zirpton
