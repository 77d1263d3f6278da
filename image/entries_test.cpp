#include "image/entries.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "driver/fatal_exit.h"
#include "driver/run.h"
#include "platform/fakes/line_log.h"
#include "releases/release.h"
#include "tests/support/harness.h"
#include "tests/support/wave_builder.h"

namespace zirpton {
namespace {

using namespace zirpton::testing;
using Lines = std::vector<std::string>;

// 8-bit sounds whose samples are their own file names: the temporary file
// then shows which files were read, in which order.
void sounds(const ScratchDir& dir, const Lines& names) {
  for (const auto& name : names) dir.write(name, wave_8bit(name));
}

// One row of the slot table as the tests compare it.
std::string row_text(const SlotRow& row) {
  if (!row.name[0] && !row.length && !row.off) return "-";
  char text[200];
  std::snprintf(text, sizeof text, "%s %u+%u%s", row.name, row.off, row.length,
                row.rate_flag ? " rate=1" : "");
  return text;
}

// The whole slot table, runs of equal rows on one line: "first-last row".
std::string table_of(const zirpton::Run& run) {
  std::string table;
  const auto& rows = run.slots.rows;
  for (int first = 0; first < max_slots;) {
    std::string text = row_text(rows[first]);
    int last = first;
    while (last + 1 < max_slots && row_text(rows[last + 1]) == text) ++last;
    table += first == last ? std::to_string(first)
                           : std::to_string(first) + "-" + std::to_string(last);
    table += " " + text + "\n";
    first = last + 1;
  }
  return table;
}

// The entry pass over `lines`, on a run as the directive pass leaves it.
struct Pass {
  fakes::FakeMachine machine;
  zirpton::Run run{release_7_0(), machine.platform};
  int code = 0;  // the exit code of a fatal error

  explicit Pass(const Lines& lines) {
    std::string list;
    int autos = 0;
    for (const auto& line : lines) {
      list += line + "\n";
      if (line.compare(0, 4, "AUTO") == 0) ++autos;  // as the directive pass counts them
    }
    std::FILE* file = std::fopen("list.txt", "wb");
    std::fwrite(list.data(), 1, list.size(), file);
    std::fclose(file);
    run.list_file = open_text_for_reading("list.txt");
    run.temp_file = create_binary("zirptmp.$$$");
    testing::after_directive_pass(run);
    run.flash.auto_anzahl = autos;
    try {
      assign_slots(run);
    } catch (const FatalExit& end) {
      code = end.code;
    }
    std::fflush(run.temp_file.get());
  }

  std::string table() const { return table_of(run); }
  std::string temp() const { return read_file("zirptmp.$$$"); }
  std::string out() const { return machine.console.out; }
  std::string err() const { return machine.console.err; }

  // Indices at which an AUTO flag table is set.
  static std::vector<int> set_in(const int (&flags)[128]) {
    std::vector<int> set;
    for (int i = 0; i < 128; ++i)
      if (flags[i]) set.push_back(i);
    return set;
  }
};

std::unique_ptr<Pass> pass_over(const Lines& lines) { return std::make_unique<Pass>(lines); }

Lines numbered(int first, int last, const std::string& name) {
  Lines lines;
  for (int i = first; i <= last; ++i) {
    char line[40];
    std::snprintf(line, sizeof line, "%02d: %s", i, name.c_str());
    lines.push_back(line);
  }
  return lines;
}

Lines operator+(Lines a, const Lines& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

TEST(EntryPass, TheFifteenLineListFillsAllSlotsAndReadsEightFilesInOrder) {
  ScratchDir dir;
  sounds(dir, {"HORN.WAV", "bell.wav", "start.wav", "run1.wav", "stop1.wav", "up64.wav",
               "run64.wav", "down64.wav"});
  auto pass = pass_over({"**16MBit", "**4.Generation", "; sounds", "00: HORN.WAV", "01: ---",
                         "02: bell.wav", "03: horn.wav", "AUTO1", "start.wav", "run1.wav",
                         "stop1.wav", "AUTO64", "up64.wav", "run64.wav", "down64.wav"});
  ASSERT_EQ(pass->code, 0) << pass->err() << pass->out();
  EXPECT_EQ(pass->table(),
            "0 HORN.WAV 4752+8\n"
            "1 -\n"
            "2 BELL.WAV 4760+8\n"
            "3 HORN.WAV 4752+8\n"
            "4-131 -\n"
            "132 START.WAV 4768+9\n"
            "133-194 RUN1.WAV 4777+8\n"
            "195 UP64.WAV 4785+8\n"
            "196-262 RUN64.WAV 4793+9\n"
            "263 -\n"
            "264-326 RUN1.WAV 4777+8\n"
            "327-394 RUN64.WAV 4793+9\n"
            "395 -\n"
            "396 STOP1.WAV 4802+9\n"
            "397-457 RUN1.WAV 4777+8\n"
            "458 DOWN64.WAV 4811+10\n"
            "459-526 RUN64.WAV 4793+9\n"
            "527 -\n");
  EXPECT_EQ(pass->temp(),
            "HORN.WAVbell.wavstart.wavrun1.wavup64.wavrun64.wavstop1.wavdown64.wav");
  EXPECT_EQ(pass->run.running_offset, 4821u);
  EXPECT_EQ(pass->run.current_slot, 527);
  EXPECT_EQ(Pass::set_in(pass->run.autos.auto_step_used), (std::vector<int>{0, 63}));
  EXPECT_EQ(Pass::set_in(pass->run.autos.auto_third_given), (std::vector<int>{0, 62}));
  EXPECT_EQ(pass->out() + pass->err(), "");
}

struct PassCase {
  const char* what;
  Lines lines;
  int code;
  std::string table;  // checked when the pass completes
  std::string temp;   // checked when the pass completes
  std::string out = "";
  std::string err = "";
};

const std::string long_name = std::string(125, 'L') + ".WAV";

void check(const PassCase& c) {
  SCOPED_TRACE(c.what);
  ScratchDir dir;
  sounds(dir, {"A.WAV", "B.WAV", "X.WAV", "Y.WAV", ".WAV", long_name});
  auto pass = pass_over(c.lines);
  EXPECT_EQ(pass->code, c.code);
  EXPECT_EQ(pass->out(), c.out);
  EXPECT_EQ(pass->err(), c.err);
  if (c.code != 0) return;
  EXPECT_EQ(pass->table(), c.table);
  EXPECT_EQ(pass->temp(), c.temp);
}

TEST(EntryPass, LinesAreSkippedTakenOrRefusedByTheirKind) {
  const PassCase cases[] = {
      {"short lines, comments and star lines are skipped",
       {"", "x", "xy", ";;;", "; comment", "*", "*whatever", "**16MBit", "00: A.WAV"},
       0, "0 A.WAV 4752+5\n1-527 -\n", "A.WAV"},
      {"three blanks", {"   "}, 418, "", "", "", "ung\x81ltige Zeile:    !\n"},
      {"a word", {"00: A.WAV", "abc"}, 418, "", "", "", "ung\x81ltige Zeile: abc!\n"},
      {"auto in small letters", {"auto1"}, 418, "", "", "", "ung\x81ltige Zeile: auto1!\n"},
      {"a blank before the number", {" 00: A.WAV"}, 418, "", "", "",
       "ung\x81ltige Zeile:  00: A.WAV!\n"},
      {"colon at the 2nd character", {"5: A.WAV"}, 435, "", "", "",
       "ung\x81ltige Zeile (kein Doppelpunkt) 5: A.WAV\n"},
      {"colon at the 8th character", {"0000000: A.WAV"}, 435, "", "", "",
       "ung\x81ltige Zeile (kein Doppelpunkt) 0000000: A.WAV\n"},
      {"no colon", {"00 A.WAV"}, 435, "", "", "",
       "ung\x81ltige Zeile (kein Doppelpunkt) 00 A.WAV\n"},
  };
  for (const auto& c : cases) check(c);
}

TEST(EntryPass, EntriesFillTheSlotOfTheirSoundNumber) {
  const std::string stored = long_name.substr(0, 119);
  const PassCase cases[] = {
      {"leading zero", numbered(0, 4, "---") + Lines{"05: A.WAV"}, 0,
       "0-4 -\n5 A.WAV 4752+5\n6-527 -\n", "A.WAV"},
      {"blank before the colon", numbered(0, 4, "---") + Lines{"5 : A.WAV"}, 0,
       "0-4 -\n5 A.WAV 4752+5\n6-527 -\n", "A.WAV"},
      {"colon at the 7th character", numbered(0, 4, "---") + Lines{"000005: A.WAV"}, 0,
       "0-4 -\n5 A.WAV 4752+5\n6-527 -\n", "A.WAV"},
      {"the character behind the colon is passed over", {"00:A.WAV"}, 0,
       "0 .WAV 4752+4\n1-527 -\n", ".WAV"},
      {"same name in other letters: read once, shared", {"00: a.wav", "01: A.WAV"}, 0,
       "0-1 A.WAV 4752+5\n2-527 -\n", "A.WAV"},
      {"--- keeps a slot empty", {"00: A.WAV", "01: ---", "02: B.WAV"}, 0,
       "0 A.WAV 4752+5\n1 -\n2 B.WAV 4757+5\n3-527 -\n", "A.WAVB.WAV"},
      {"a jump within the 1000 range repeats the row before", {"1000: X.WAV", "1005: Y.WAV"}, 0,
       "0-131 -\n132-136 X.WAV 4752+5\n137 Y.WAV 4757+5\n138-527 -\n", "X.WAVY.WAV"},
      {"entering the 2000 range carries up to slot 262",
       numbered(0, 9, "---") + Lines{"10: A.WAV", "2000: X.WAV"}, 0,
       "0-9 -\n10-262 A.WAV 4752+5\n263 -\n264 X.WAV 4757+5\n265-527 -\n", "A.WAVX.WAV"},
      {"--- within a range", {"1000: X.WAV", "1001: ---", "1002: Y.WAV"}, 0,
       "0-131 -\n132 X.WAV 4752+5\n133 -\n134 Y.WAV 4757+5\n135-527 -\n", "X.WAVY.WAV"},
      {"an empty name takes the first empty row below", {"00: A.WAV", "01: ---", "02: "}, 0,
       "0 A.WAV 4752+5\n1-527 -\n", "A.WAV"},
      {"a line that ends with its colon has an empty name", {"00: A.WAV", "01: ---", "02:"}, 0,
       "0 A.WAV 4752+5\n1-527 -\n", "A.WAV"},
      {"a name over 119 characters is read again", {"00: " + long_name, "01: " + long_name}, 0,
       "0 " + stored + " 4752+129\n1 " + stored + " 4881+129\n2-527 -\n", long_name + long_name},
      {"first entry in the 2000 range: nothing to carry", {"2000: X.WAV"}, 0,
       "0-263 -\n264 X.WAV 4752+5\n265-527 -\n", "X.WAV"},
      {"first entry in the 3000 range: the end carries it to 526", {"3000: X.WAV"}, 0,
       "0-395 -\n396-526 X.WAV 4752+5\n527 -\n", "X.WAV"},
      {"sound 3131 fills slot 527", {"3130: X.WAV", "3131: Y.WAV"}, 0,
       "0-525 -\n526 X.WAV 4752+5\n527 Y.WAV 4757+5\n", "X.WAVY.WAV"},
  };
  for (const auto& c : cases) check(c);
}

TEST(EntryPass, SoundNumbersOutOfOrderOrPastTheTableEndTheRun) {
  const PassCase cases[] = {
      {"a gap", {"00: A.WAV", "02: B.WAV"}, 34, "", "", "ung\x81ltige Soundnummer: 02: B.WAV\n"},
      {"a repeat", {"00: A.WAV", "00: A.WAV"}, 34, "", "", "ung\x81ltige Soundnummer: 00: A.WAV\n"},
      {"back within a range", {"1005: Y.WAV", "1000: X.WAV"}, 34, "", "",
       "ung\x81ltige Soundnummer: 1000: X.WAV\n"},
      {"a plain number after a range", {"1000: X.WAV", "01: A.WAV"}, 34, "", "",
       "ung\x81ltige Soundnummer: 01: A.WAV\n"},
      {"number 528 after slot 527", numbered(0, 527, "---") + Lines{"528: X.WAV"}, 488, "", "",
       "zu viele Zeilen!\n"},
      {"number 529 after slot 527", numbered(0, 527, "---") + Lines{"529: X.WAV"}, 34, "", "",
       "ung\x81ltige Soundnummer: 529: X.WAV\n"},
      {"number 528 after sound 3131", {"3131: X.WAV", "528: Y.WAV"}, 488, "", "",
       "zu viele Zeilen!\n"},
      {"an empty name with every row below named", {"00: A.WAV", "01: "}, 517, "", "", "",
       " nicht gefunden!\n"},
      {"a missing file", {"00: NONE.WAV"}, 517, "", "", "", "NONE.WAV nicht gefunden!\n"},
  };
  for (const auto& c : cases) check(c);
}

struct StepCase {
  const char* line;
  int step;  // 0 when the line is refused
  int code;
  std::string err;
};

TEST(AutoBlocks, TheSpeedStepIsReadOrComputed) {
  const std::string no_step_1 = "AUTO-Sounds m\x81ssen bei Fahrstufe 1 beginnen!\n";
  const StepCase cases[] = {
      {"AUTO 5", 5, 641, no_step_1},
      {"AUTO+5", 5, 641, no_step_1},
      {"AUTO\t7", 7, 641, no_step_1},
      {"AUTO1x", 1, 0, ""},
      {"AUTO126", 126, 641, no_step_1},
      {"AUTO", 1, 0, ""},
      {"AUTO0", 1, 0, ""},
      {"AUTOx", 1, 0, ""},
      {"AUTO+-5", 1, 0, ""},
      {"AUTO-5", 0, 388, "ung\x81ltige ZeileAUTO-5\nFahrstufe nicht im Bereich 1 bis 126\n"},
      {"AUTO127", 0, 388, "ung\x81ltige ZeileAUTO127\nFahrstufe nicht im Bereich 1 bis 126\n"},
      {"AUTO 99999999999999999999", 0, 388,
       "ung\x81ltige ZeileAUTO 99999999999999999999\nFahrstufe nicht im Bereich 1 bis 126\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.line);
    ScratchDir dir;
    sounds(dir, {"S.WAV", "R.WAV", "T.WAV"});
    auto pass = pass_over({c.line, "S.WAV", "R.WAV", "T.WAV"});
    EXPECT_EQ(pass->code, c.code);
    EXPECT_EQ(pass->err(), c.err);
    EXPECT_EQ(Pass::set_in(pass->run.autos.auto_step_used),
              c.step ? std::vector<int>{c.step - 1} : std::vector<int>{});
  }
}

// n blocks without a number: the steps they get, in file order.
std::vector<int> computed_steps(int n) {
  ScratchDir dir;
  Lines lines;
  Lines names{"R.WAV", "T.WAV"};
  for (int i = 1; i <= n; ++i) {
    std::string first = "F" + std::to_string(i) + ".WAV";
    names.push_back(first);
    lines = lines + Lines{"AUTO", first, "R.WAV", "T.WAV"};
  }
  sounds(dir, names);
  auto pass = pass_over(lines);
  EXPECT_EQ(pass->code, 0) << pass->err() << pass->out();
  std::vector<int> steps;
  for (int i = 1; i <= n; ++i)
    for (int row = 0; row < auto_rows; ++row)
      if ("F" + std::to_string(i) + ".WAV" == pass->run.autos.auto_1000[row])
        steps.push_back(row + 1);
  EXPECT_EQ(Pass::set_in(pass->run.autos.auto_step_used).size(), static_cast<size_t>(n));
  return steps;
}

TEST(AutoBlocks, BlocksWithoutANumberAreSpacedByARunningSum) {
  EXPECT_EQ(computed_steps(4), (std::vector<int>{1, 33, 64, 96}));
  // The running sum's rounding gives the sixteenth block 95, not 96.
  EXPECT_EQ(computed_steps(20), (std::vector<int>{1, 7, 14, 20, 26, 33, 39, 45, 51, 58, 64, 70,
                                                  77, 83, 89, 95, 102, 108, 114, 121}));
}

TEST(AutoBlocks, AnAutoLineInsideABlockIsANameButCountsForTheSpacing) {
  ScratchDir dir;
  sounds(dir, {"AUTO", "B.WAV", "C.WAV", "X.WAV", "Y.WAV", "Z.WAV"});
  auto pass = pass_over({"AUTO", "AUTO", "B.WAV", "C.WAV", "AUTO", "X.WAV", "Y.WAV", "Z.WAV"});
  ASSERT_EQ(pass->code, 0) << pass->err();
  // Three lines counted: the second block gets step 43, not 64.
  EXPECT_EQ(Pass::set_in(pass->run.autos.auto_step_used), (std::vector<int>{0, 42}));
  EXPECT_STREQ(pass->run.autos.auto_1000[0], "AUTO");
  EXPECT_STREQ(pass->run.slots.rows[132].name, "AUTO");
  EXPECT_STREQ(pass->run.slots.rows[132 + 42].name, "X.WAV");
}

TEST(AutoBlocks, StepsOneAndTwoShareTheFirstRowOfTheThirdBank) {
  for (bool step_1_last : {true, false}) {
    ScratchDir dir;
    sounds(dir, {"A.WAV", "B.WAV", "X.WAV", "Y.WAV"});
    Lines step_2{"AUTO2", "A.WAV", "B.WAV", "X.WAV"};
    Lines step_1{"AUTO1", "A.WAV", "B.WAV", "Y.WAV"};
    auto pass = pass_over(step_1_last ? step_2 + step_1 : step_1 + step_2);
    ASSERT_EQ(pass->code, 0) << pass->err();
    EXPECT_STREQ(pass->run.slots.rows[396].name, step_1_last ? "Y.WAV" : "X.WAV");
    EXPECT_EQ(Pass::set_in(pass->run.autos.auto_third_given), (std::vector<int>{0}));
    EXPECT_EQ(Pass::set_in(pass->run.autos.auto_step_used), (std::vector<int>{0, 1}));
  }
}

TEST(AutoBlocks, ABlockCutShortByTheEndOfTheFileEndsTheRun) {
  const std::string rest = "\nnach der AUTO-Zeile fehlen Zeilen, drei werden erwartet!\n";
  const PassCase cases[] = {
      {"two lines missing", {"AUTO1", "X.WAV", "Y.WAV"}, 14, "", "", "",
       "unvollst\x84ndiger AUTO-Block: AUTO1" + rest},
      {"all three missing", {"00: A.WAV", "AUTO 3"}, 14, "", "", "",
       "unvollst\x84ndiger AUTO-Block: AUTO 3" + rest},
  };
  for (const auto& c : cases) check(c);
}

TEST(AutoBlocks, RangeNumbersPlainEntriesPastSlot131OrNoStep1EndTheRun) {
  const std::string mixed = "entweder nur Sounds > 1000 oder nur Sounds mit '+'-Kennung!\n";
  const std::string no_step_1 = "AUTO-Sounds m\x81ssen bei Fahrstufe 1 beginnen!\n";
  const Lines block{"AUTO1", "x.wav", "y.wav", "a.wav"};
  const PassCase cases[] = {
      {"a range number before the first AUTO line", Lines{"1000: X.WAV"} + block, 376, "", "",
       "", mixed},
      {"sound 2131 before it", Lines{"2131: X.WAV"} + block, 376, "", "", "", mixed},
      {"a 1000 number after it", block + Lines{"1000: X.WAV"}, 443, "", "", "", mixed},
      {"a 2000 number after it", block + Lines{"2000: X.WAV"}, 454, "", "", "", mixed},
      {"a 3000 number after it", block + Lines{"3131: X.WAV"}, 468, "", "", "", mixed},
      {"plain entries up to slot 140", numbered(0, 140, "---") + block, 34, "", "",
       "ung\x81ltige Soundnummer: 1000: x.wav\n"},
      {"an empty second line for step 1", {"AUTO1", "X.WAV", "", "A.WAV"}, 641, "", "", "",
       no_step_1},
  };
  for (const auto& c : cases) check(c);
}

TEST(AutoBlocks, PlainEntriesAreReadBeforeTheMissingStep1IsReported) {
  ScratchDir dir;
  sounds(dir, {"A.WAV", "B.WAV"});
  auto pass = pass_over({"00: A.WAV", "AUTO5", "X.WAV", "Y.WAV", "Z.WAV", "01: B.WAV"});
  EXPECT_EQ(pass->code, 641);
  EXPECT_EQ(pass->table(), "0 A.WAV 4752+5\n1 B.WAV 4757+5\n2-527 -\n");
  EXPECT_EQ(pass->temp(), "A.WAVB.WAV");
}

}  // namespace
}  // namespace zirpton
