#include "image/slot_checks.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "driver/fatal_exit.h"
#include "driver/run.h"
#include "platform/fakes/line_log.h"
#include "releases/release.h"
#include "tests/support/harness.h"

namespace zirpton {
namespace {

constexpr int bank_1 = 132, bank_2 = 264, bank_3 = 396;

// Slots `first` to `last` of a bank, by their number within it, hold `name`.
struct Span {
  int first, last;
  const char* name;
};

// Steps `first` to `last` expect `value`; every other step expects 0.
struct Expect {
  int first, last, value;
};

std::vector<std::string> lines_of(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

struct AutoCase {
  const char* what;
  std::vector<Span> bank1, bank2, bank3;
  std::vector<int> steps_used, thirds_given;
  std::vector<Expect> ni, pi;
};

class SlotChecksTest : public ::testing::Test {
 protected:
  testing::ScratchDir dir;
  fakes::FakeMachine machine;
  zirpton::Run run{release_7_0(), machine.platform};
  std::map<std::string, uint32_t> offs;  // one flash address per file name

  SlotChecksTest() { start(); }

  // A run that has just passed the directives of a 16 MBit list.
  void start() {
    run.flash = FlashConfig{};
    run.flash.FLASHSIZE = 0x210000;
    run.flash.generation_4 = 1;
    run.flash.group_count = 16;
    run.flash.slot_count = 528;
    run.flash.header_bytes = 4752;
    run.flash.capacity_seconds = seconds_of(0x210000 - 4752);
    run.running_offset = 4752;
    run.slots = SlotTable{};
    run.autos = AutoTables{};
    offs.clear();
    machine.console.out.clear();
    machine.console.err.clear();
  }

  void name(int slot, const char* text) { std::snprintf(run.slots.rows[slot].name, name_size, "%s", text); }

  void sound(int slot, const char* text, uint32_t length, uint32_t off) {
    name(slot, text);
    run.slots.rows[slot].length = length;
    run.slots.rows[slot].off = off;
  }

  // Rows that name the same file share its data, as the entry pass leaves them.
  void fill(int bank, const std::vector<Span>& spans) {
    for (const Span& span : spans) {
      auto found = offs.try_emplace(span.name, 4752 + 100 * static_cast<uint32_t>(offs.size()));
      for (int step = span.first; step <= span.last; ++step)
        sound(bank + step, span.name, 100, found.first->second);
    }
  }

  // The banks and the block marks as the entry pass leaves them for `c`.
  void lay_out(const AutoCase& c) {
    fill(bank_1, c.bank1);
    fill(bank_2, c.bank2);
    fill(bank_3, c.bank3);
    for (int step : c.steps_used) run.autos.auto_step_used[step] = 1;
    for (int step : c.thirds_given) run.autos.auto_third_given[step] = 1;
  }

  // The exit code of a fatal end, else -1.
  int check() {
    try {
      check_slots(run);
    } catch (const FatalExit& end) {
      return end.code;
    }
    return -1;
  }

  std::vector<int> ni_of(int first, int count) {
    std::vector<int> values;
    for (int slot = first; slot < first + count; ++slot) values.push_back(run.slots.rows[slot].ni);
    return values;
  }

  std::vector<int> pi_of(int first, int count) {
    std::vector<int> values;
    for (int slot = first; slot < first + count; ++slot) values.push_back(run.slots.rows[slot].pi);
    return values;
  }
};

std::vector<int> expected_steps(const std::vector<Expect>& ranges) {
  std::vector<int> values(132, 0);
  for (const Expect& range : ranges)
    for (int step = range.first; step <= range.last; ++step) values[step] = range.value;
  return values;
}

TEST_F(SlotChecksTest, SizeCheckLetsTheLastByteOfTheFlashPassAndKeepsTheTempFileOnFailure) {
  struct Case {
    const char* what;
    uint32_t running_offset;
    bool badly_paired;
    int code;
    std::string out;
  } cases[] = {
      {"no sound: the header alone counts", 4752, false, -1,
       "0.4 Sekunden von maximal 195.7 Sekunden benutzt\n"},
      {"ends on the last byte", 0x210000, false, -1,
       "196.2 Sekunden von maximal 195.7 Sekunden benutzt\n"},
      {"one byte more", 0x210001, false, 706,
       "Files zu gro\xE1! (196.2 Sekunden, 195.7 Sekunden m\x94glich\n"},
      {"size reported before pairing", 0x300000, true, 706,
       "Files zu gro\xE1! (285.3 Sekunden, 195.7 Sekunden m\x94glich\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    start();
    run.running_offset = c.running_offset;
    if (c.badly_paired) name(0, "A.WAV");
    run.temp_file = create_binary(temp_file_name);
    std::fputs("abc", run.temp_file.get());
    EXPECT_EQ(check(), c.code);
    EXPECT_EQ(machine.console.out, c.out);
    EXPECT_EQ(machine.console.err, "");
    if (c.code == -1) {
      EXPECT_TRUE(run.temp_file == nullptr);
      EXPECT_EQ(dir.read(temp_file_name), "abc");
    } else {
      EXPECT_TRUE(run.temp_file != nullptr);
    }
    run.temp_file.reset();
  }
}

TEST_F(SlotChecksTest, AFailedCloseOfTheTempFileEndsTheRun) {
#ifdef _WIN32
  // Windows has no /dev/full; wine's stand-in loses the error in fclose.
  GTEST_SKIP() << "no /dev/full";
#endif
  run.temp_file = FileHandle(std::fopen("/dev/full", "w"));
  if (!run.temp_file) GTEST_SKIP() << "no /dev/full";
  std::fputs("abc", run.temp_file.get());
  EXPECT_EQ(check(), 612);
  EXPECT_EQ(machine.console.out, "0.4 Sekunden von maximal 195.7 Sekunden benutzt\n");
  EXPECT_EQ(machine.console.err, std::string("zirptmp.$$$: ") + std::strerror(ENOSPC) + "\n");
  EXPECT_EQ(machine.console.key_waits, 1);
}

TEST_F(SlotChecksTest, FirstThreeGroupsMustBeFilledAlike) {
  // Named rows without samples: a name alone makes a slot used.
  struct Case {
    const char* what;
    std::vector<int> named;
    int code;
    std::string message;
  } cases[] = {
      {"slot 8 missing", {0, 4}, 737, "Fehler: Slot 0 benutzt, Slot 8 unbenutzt!\n"},
      {"slot 1 missing", {5, 9}, 719, "Fehler: Slot 1 unbenutzt, Slot 5 benutzt!\n"},
      {"slot 6 missing", {2}, 725, "Fehler: Slot 2 benutzt, Slot 6 unbenutzt!\n"},
      {"slot 3 missing", {11}, 731, "Fehler: Slot 3 unbenutzt, Slot 11 benutzt!\n"},
      {"lower slot reported first", {3, 6}, 719, "Fehler: Slot 2 unbenutzt, Slot 6 benutzt!\n"},
      {"second slot, partner 8 on", {0, 4, 8, 1, 5}, 737,
       "Fehler: Slot 1 benutzt, Slot 9 unbenutzt!\n"},
      {"all three groups full", {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}, -1, ""},
      {"beyond the paired groups", {12, 13, 20}, -1, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    start();
    for (int slot : c.named) name(slot, "LEER.WAV");
    EXPECT_EQ(check(), c.code);
    EXPECT_EQ(machine.console.out, "0.4 Sekunden von maximal 195.7 Sekunden benutzt\n" + c.message);
    if (c.code == -1) {
      for (int slot : c.named) EXPECT_EQ(run.slots.rows[slot].ni, 0xFF) << slot;
    }
  }
}

TEST_F(SlotChecksTest, BankZeroRunsLinkForwardAndLoopBackToTheirGroup) {
  const int with_sound[] = {0, 1, 2, 4, 5, 6, 8, 9, 10, 12, 15, 16, 18, 21, 22, 23};
  uint32_t off = 4752;
  for (int slot : with_sound) {
    char text[16];
    std::snprintf(text, sizeof text, "S%02d.WAV", slot);
    sound(slot, text, 1000, off);
    off += 1000;
  }
  run.running_offset = off;
  ASSERT_EQ(check(), -1);
  EXPECT_EQ(ni_of(0, 25), (std::vector<int>{0x01, 0x02, 0x80, 0xFF, 0x05, 0x06, 0x84, 0xFF, 0x09,
                                            0x0A, 0x88, 0xFF, 0x8C, 0xFF, 0xFF, 0x10, 0x8F, 0xFF,
                                            0x92, 0xFF, 0xFF, 0x16, 0x17, 0x95, 0xFF}));
  EXPECT_EQ(machine.console.out,
            "1.9 Sekunden von maximal 195.7 Sekunden benutzt\n"
            "  0 ( 0): S00.WAV l=1000 off=4752 ni=1\n"
            "  1 ( 1): S01.WAV l=1000 off=5752 ni=2\n"
            "  2 ( 2): S02.WAV l=1000 off=6752 ni=0(*)\n"
            "  4 ( 4): S04.WAV l=1000 off=7752 ni=5\n"
            "  5 ( 5): S05.WAV l=1000 off=8752 ni=6\n"
            "  6 ( 6): S06.WAV l=1000 off=9752 ni=4(*)\n"
            "  8 ( 8): S08.WAV l=1000 off=10752 ni=9\n"
            "  9 ( 9): S09.WAV l=1000 off=11752 ni=10\n"
            " 10 ( a): S10.WAV l=1000 off=12752 ni=8(*)\n"
            " 12 ( c): S12.WAV l=1000 off=13752 ni=12(*)\n"
            " 15 ( f): S15.WAV l=1000 off=14752 ni=16\n"
            " 16 (10): S16.WAV l=1000 off=15752 ni=15(*)\n"
            " 18 (12): S18.WAV l=1000 off=16752 ni=18(*)\n"
            " 21 (15): S21.WAV l=1000 off=17752 ni=22\n"
            " 22 (16): S22.WAV l=1000 off=18752 ni=23\n"
            " 23 (17): S23.WAV l=1000 off=19752 ni=21(*)\n");
  // Without AUTO blocks the AUTO banks keep no links.
  EXPECT_EQ(ni_of(bank_1, 396), std::vector<int>(396, 0));
  EXPECT_EQ(pi_of(bank_1, 396), std::vector<int>(396, 0));
}

TEST_F(SlotChecksTest, BankZeroLinksAtGroupBordersAndEmptyGroupStarts) {
  struct Case {
    const char* what;
    std::vector<int> with_sound;
    std::vector<std::pair<int, int>> ni;  // slot, expected ni
  } cases[] = {
      {"single-slot groups", {12, 13, 14}, {{12, 0x8C}, {13, 0x8D}, {14, 0x8E}}},
      {"top of bank 0, slot 132 not followed",
       {123, 124, 125, 126, 127, 128, 129, 130, 131, 132},
       {{126, 0x7F}, {127, 0x80}, {128, 0x81}, {129, 0x82}, {130, 0x83}, {131, 0xFB}}},
      {"a gap inside a group loops back to its start", {37, 39, 40},
       {{37, 0xA5}, {38, 0xFF}, {39, 0x28}, {40, 0xA5}}},
      // Empty group starts: the run loops to the group's first slot with sound.
      {"empty start of groups 0, 4 and 8", {1, 2, 5, 6, 9, 10},
       {{0, 0xFF}, {1, 0x02}, {2, 0x81}, {5, 0x06}, {6, 0x85}, {9, 0x0A}, {10, 0x89}}},
      {"empty start and a gap", {38, 40, 41},
       {{37, 0xFF}, {38, 0xA6}, {39, 0xFF}, {40, 0x29}, {41, 0xA6}}},
      {"only the last slot of the bank", {131}, {{123, 0xFF}, {131, 0x83}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    start();
    for (int slot : c.with_sound) sound(slot, "X.WAV", 10, 4752);
    ASSERT_EQ(check(), -1);
    for (const auto& [slot, ni] : c.ni) EXPECT_EQ(run.slots.rows[slot].ni, ni) << "slot " << slot;
  }
  EXPECT_EQ(lines_of(machine.console.out).back(), "131 (83): X.WAV l=10 off=4752 ni=3(*)");
}

TEST_F(SlotChecksTest, SoundWithoutSamplesIsUsedButNotLinkedOrListed) {
  sound(0, "A.WAV", 10, 4752);
  sound(4, "B.WAV", 10, 4762);
  sound(8, "STILL.WAV", 0, 4772);
  sound(13, "STILL.WAV", 0, 4772);
  ASSERT_EQ(check(), -1);
  EXPECT_EQ(ni_of(0, 14), (std::vector<int>{0x80, 0xFF, 0xFF, 0xFF, 0x84, 0xFF, 0xFF, 0xFF, 0xFF,
                                            0xFF, 0xFF, 0xFF, 0xFF, 0xFF}));
  EXPECT_EQ(machine.console.out,
            "0.4 Sekunden von maximal 195.7 Sekunden benutzt\n"
            "  0 ( 0): A.WAV l=10 off=4752 ni=0(*)\n"
            "  4 ( 4): B.WAV l=10 off=4762 ni=4(*)\n");
}

// Blocks at speed steps 1, 10 and 30 with nine different files.
const AutoCase three_blocks{
    "three blocks",
    {{0, 0, "A1.WAV"}, {1, 8, "A2.WAV"}, {9, 9, "B1.WAV"}, {10, 28, "B2.WAV"},
     {29, 29, "C1.WAV"}, {30, 130, "C2.WAV"}},
    {{0, 8, "A2.WAV"}, {9, 28, "B2.WAV"}, {29, 130, "C2.WAV"}},
    {{0, 0, "A3.WAV"}, {1, 7, "A2.WAV"}, {8, 8, "B3.WAV"}, {9, 27, "B2.WAV"},
     {28, 28, "C3.WAV"}, {29, 130, "C2.WAV"}},
    {0, 9, 29},
    {0, 8, 28},
    {{0, 8, 0x09}, {9, 28, 0x1D}},
    {{9, 28, 0x08}, {29, 126, 0x1C}},
};

TEST_F(SlotChecksTest, AutoStepsLinkToTheStepsAboveAndBelow) {
  const AutoCase cases[] = {
      three_blocks,
      {"no AUTO block", {}, {}, {}, {}, {}, {}, {}},
      {"a block at speed step 1 only",
       {{0, 0, "START.WAV"}, {1, 130, "RUN.WAV"}},
       {{0, 130, "RUN.WAV"}},
       {{0, 0, "STOP.WAV"}, {1, 130, "RUN.WAV"}},
       {0},
       {0},
       {},
       {}},
      {"two blocks naming the same files",
       {{0, 0, "UP.WAV"}, {1, 48, "RUN.WAV"}, {49, 49, "UP.WAV"}, {50, 130, "RUN.WAV"}},
       {{0, 130, "RUN.WAV"}},
       {{0, 0, "DOWN.WAV"}, {1, 47, "RUN.WAV"}, {48, 48, "DOWN.WAV"}, {49, 130, "RUN.WAV"}},
       {0, 49},
       {0, 48},
       {{0, 48, 49}},
       {{49, 126, 48}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    start();
    lay_out(c);
    ASSERT_EQ(check(), -1);
    for (int bank : {bank_1, bank_2, bank_3}) {
      SCOPED_TRACE(bank);
      EXPECT_EQ(ni_of(bank, 132), expected_steps(c.ni));
      EXPECT_EQ(pi_of(bank, 132), expected_steps(c.pi));
    }
  }
}

TEST_F(SlotChecksTest, VerboseRunListsTheAutoStepsBeforeTheSlots) {
  run.settings.verbose = true;
  lay_out(three_blocks);
  ASSERT_EQ(check(), -1);

  std::vector<std::string> lines = lines_of(machine.console.out);
  // The seconds line, 126 AUTO steps, then 3 × 131 slots with sound.
  ASSERT_EQ(lines.size(), 1u + 126u + 393u);
  EXPECT_EQ(lines[0], "0.4 Sekunden von maximal 195.7 Sekunden benutzt");
  EXPECT_EQ(lines[1], "  0 0x00 A1.WAV 09/00 A2.WAV 09/00 A3.WAV 09/00");
  EXPECT_EQ(lines[1 + 8], "  8 0x08 A2.WAV 09/00 A2.WAV 09/00 B3.WAV 09/00");
  EXPECT_EQ(lines[1 + 9], "  9 0x09 B1.WAV 1d/08 B2.WAV 1d/08 B2.WAV 1d/08");
  EXPECT_EQ(lines[1 + 29], " 29 0x1d C1.WAV 00/1c C2.WAV 00/1c C2.WAV 00/1c");
  EXPECT_EQ(lines[126], "125 0x7d C2.WAV 00/1c C2.WAV 00/1c C2.WAV 00/1c");
  EXPECT_EQ(lines[127], "132 ( 0): A1.WAV l=100 off=4752 ni=9");
  EXPECT_EQ(lines[127 + 131], "264 ( 0): A2.WAV l=100 off=4852 ni=9");
  EXPECT_EQ(lines.back(), "526 (82): C2.WAV l=100 off=5252 ni=0");
}

TEST(GroupStarts, LowByteOfTheSlotIsLookedUpUpToTheEndMark) {
  const uint8_t table[] = {0x00, 0x04, 0x7B, 0xFF, 0x05};
  struct Case {
    int slot;
    bool start;
  } cases[] = {{0, true}, {4, true}, {123, true}, {5, false}, {0xFF, false}, {0x104, true},
               {131, false}};
  for (const auto& c : cases) EXPECT_EQ(is_group_start(table, c.slot), c.start) << c.slot;
}

}  // namespace
}  // namespace zirpton
