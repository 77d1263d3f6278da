// What tells the eight releases apart, as one plain description per release.
// The phases read these named fields; nothing else in the code asks which
// release it is.
#pragma once

#include <cstdint>
#include <span>

#include "platform/console.h"

namespace zirpton {

// How a fatal error ends once its message is out.
enum class FatalEnd {
  wait_key,    // wait for one key (only when standard input is a terminal)
  pause_3000,  // pause 3000 ms, read no key
  at_once,     // end right away
};

// What a list-file directive line does in the directive pass.
enum class DirectiveEffect { flash_size, mega_168, pad_to_12, generation_4, auto_line };

struct Directive {
  const char* text;  // compared as a prefix, case counting, over its whole length
  DirectiveEffect effect;
  uint32_t flash_size;  // for DirectiveEffect::flash_size
};

// The verbose configuration line after the directive pass.
enum class ConfigLine { none, with_auto_anzahl, with_new_sound };

// How the AUTO banks are linked: with the marks of the blocks that were
// read, by the sounds alone, or not at all.
enum class AutoLinks { with_marks, without_marks, none };

// How a sound file is read: by walking its RIFF chunks, or as a block of
// fixed layout (44 bytes, 46 with an 18-byte "fmt " chunk) ahead of the data.
enum class SoundHeader { chunk_walk, fixed_block };

// The forms of the slot listing and of the verbose header lines.
enum class ListingStyle {
  bank_positions,  // "%3d (%2x): ...", "i=%3d (%2x), page=%d", "%4d (%2x): %s "
  plain,           // "%2.2d: ...", "i=%d, page=%d", "%4d: %s "
  names_only,      // as plain, but the verbose record line shows no slot number
  names_only_no_pages,  // as names_only, without the header page lines
};

// Byte 7 of a slot record.
enum class RecordByte7 {
  pi_and_rate,  // pi shifted left, bit 0 set for a sound not at 22050 Hz
  fe_and_rate,  // 0xFE, bit 0 set for a sound not at 22050 Hz
  ff,           // always 0xFF
  none,         // six-byte records: no byte 6 of the length and no byte 7
};

// The run from the command line to the last byte: the one of releases 7.0
// to 5.3, or the simpler one of the two oldest, with the port prepared
// before the list is read and the delete command.
enum class RunSequence { standard, oldest };

// How a port is prepared: the handshake at 57600 baud, then 38400 with RTS
// on; or 38400 with RTS off, set once, without a handshake.
enum class PortSetup { handshake, plain };

// How the image goes over the line: page pairs behind a four-byte command
// with a fill, or single pages behind a one-byte command, with pauses.
enum class Framing { page_pairs, single_pages };

// Every fatal exit code of a release, by the check that ends the run.
// no_check marks a check that the release does not have.
inline constexpr int no_check = -1;

// Codes this program adds to those of the releases, for checks that the
// releases did not have; each apart from every other code of its release.
inline constexpr int code_auto_block_incomplete = 14;
inline constexpr int code_cv_missing_number = 15;
inline constexpr int code_port_writes_failed = 16;
inline constexpr int code_header_problem_6_1a = 17;
inline constexpr int code_sound_too_short = 18;
inline constexpr int added_exit_codes[] = {code_auto_block_incomplete, code_cv_missing_number,
                                           code_port_writes_failed, code_header_problem_6_1a,
                                           code_sound_too_short};

struct ExitCodes {
  int usage = 9;
  int port_open = 1;
  // Files that can't be opened or created end with 2: 0 reads as success.
  int file_open = 2;
  int too_many_auto;
  int no_generation;
  int no_flashsize;
  int auto_after_high_numbers;
  int high_1000_in_auto;
  int high_2000_in_auto;
  int high_3000_in_auto;
  int auto_step_range;
  int invalid_line;
  int no_colon;
  int wrong_sound_number;
  int too_many_lines;
  int auto_without_step_1;
  int auto_block_incomplete;
  int sound_not_found;
  int header_problem;
  int sound_too_short;  // shorter than the fixed header block
  int format_problem;
  int short_read_16;
  int write_16;
  int short_read_8;
  int write_8;
  int too_large;
  int pair_unused_used_4;
  int pair_used_unused_4;
  int pair_unused_used_8;
  int pair_used_unused_8;
  int cv_number;
  int cv_value;
  int cv_missing_number;
  int length_too_large = 77;
  int port_writes_failed;
  // The image or its checksum could not be written to the output file.
  int output_write_failed = 2;
};

struct Release {
  const char* program;      // "zirpton"
  const char* banner;       // first line of every run
  const char* usage_line;
  FatalEnd fatal_end;
  FatalEnd usage_end;
  ExitCodes exit;

  // Directive pass.
  uint32_t initial_flash_size;
  std::span<const Directive> directives;
  bool checks_generation_and_size;  // refuse lists without them
  ConfigLine config_line;

  // Sound files.
  bool riff_size_exact;  // the RIFF size must be the file's length minus 8
  SoundHeader sound_header;
  const char* format_problem_message;  // with the name, block align and bits
  bool pad_always;  // every sound is filled to a multiple of 12, no directive needed

  // Slot checks.
  AutoLinks auto_links;
  bool auto_table;  // the verbose table of the AUTO links
  ListingStyle listing;

  // Programming entry and stream.
  uint32_t entry_pause_ms;  // after "Empfänger sollte kurz hupen"
  Framing framing;
  int rts_pulses;  // RTS off and on again at the end of a port run
  RecordByte7 record_byte_7;
  bool pi_in_record_line;   // the verbose line of a record shows pi
  bool verbose_looked_up_live;  // QZ_HOME is looked up anew at each verbose line

  // What the two oldest releases do differently; the defaults are those of
  // the newer ones.
  RunSequence run_sequence = RunSequence::standard;
  PortSetup port_setup = PortSetup::handshake;
  int fixed_slot_count = 0;     // slots of the one bank, where the list can't say
  int last_colon_column = 7;    // entries: the colon stands at the 3rd up to this column
  bool shared_rows_keep_name = true;  // a row sharing an earlier file shows its name
  bool sound_not_found_as_system_error = false;
  bool reads_rate = true;         // the sample rate sets the 22050 Hz flag
  bool converts_samples = true;   // else the data bytes are copied as they are
  std::span<const uint8_t> group_starts = {};  // of bank 0; empty: the newer table
  const char* seconds_line = "%.1f Sekunden von maximal %.1f Sekunden benutzt\n";
  const char* too_large_line = "Files zu groß! (%.1f Sekunden, %.1f Sekunden möglich\n";
  bool pairing_check = true;
  bool header_verbose_always = false;  // the record lines are printed in every run
  uint32_t length_limit = 0xFFFFFF;
  bool length_line_names_slot = true;  // "NAME  Länge zu groß" or "Länge zu groß"
  int records_per_page = 33;
  int cv_pages = 2;           // pages of the CV page in the image
  bool header_first = false;  // the header goes out before the CV page
  bool announcement_less_2 = true;     // the pages announced leave out the CV page
  bool progress_counts_header = true;  // else its own count, printed before it grows
  int progress_start = 0;              // that count's first value
  Stream progress_stream = Stream::err;
};

// One description per release, in releases/release_*.cpp.
const Release& release_7_0();
const Release& release_6_6();
const Release& release_6_2();
const Release& release_6_1a();
const Release& release_5_4();
const Release& release_5_3();
const Release& release_3_3();
const Release& release_2_02();

}  // namespace zirpton
