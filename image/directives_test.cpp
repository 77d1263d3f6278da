#include "image/directives.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstdio>
#include <string>

#include "driver/fatal_exit.h"
#include "driver/run.h"
#include "platform/fakes/line_log.h"
#include "releases/release.h"
#include "tests/support/harness.h"

namespace zirpton {
namespace {

using testing::repeat;

// What the pass leaves in FlashConfig.
struct Settings {
  uint32_t FLASHSIZE;
  int mega_168, pad_to_12, generation_4, group_count, auto_anzahl;
};

class DirectivesTest : public ::testing::Test {
 protected:
  testing::ScratchDir dir;
  fakes::FakeMachine machine;
  Release release = release_7_0();
  zirpton::Run run{release, machine.platform};

  // Runs the pass over `list`; the exit code of a fatal end, else -1.
  int scan(const std::string& list) {
    dir.write("list.txt", list);
    run.list_file = open_text_for_reading("list.txt");
    try {
      scan_directives(run);
    } catch (const FatalExit& end) {
      return end.code;
    }
    return -1;
  }
};

TEST_F(DirectivesTest, DirectivesMatchAsCaseCountingPrefixes) {
  const std::string gen = "**4.Generation\n";
  const std::string autos = "AUTO1\na\nb\nc\n";
  struct Case {
    const char* what;
    std::string list;
    int code;  // -1: the pass goes through
    std::string err;
    Settings flash;
  } cases[] = {
      {"empty file: generation checked first", "", 343,
       "nur Empfaenger der 4. Generation unterstuetzt!\n", {0, 0, 0, 0, 4, 0}},
      {"size without generation", "**16MBit\n", 343,
       "nur Empfaenger der 4. Generation unterstuetzt!\n", {0x210000, 0, 0, 0, 4, 0}},
      {"generation without size", gen, 349, "keine FLASHSIZE angegeben!\n", {0, 0, 0, 1, 16, 0}},
      {"small letters", "**16mbit\n" + gen, 349, "keine FLASHSIZE angegeben!\n",
       {0, 0, 0, 1, 16, 0}},
      {"blank in front", " **16MBit\n" + gen, 349, "keine FLASHSIZE angegeben!\n",
       {0, 0, 0, 1, 16, 0}},
      {"blank inside", "**16 MBit\n" + gen, 349, "keine FLASHSIZE angegeben!\n",
       {0, 0, 0, 1, 16, 0}},
      {"text behind the directives", "**16MBit ; mein Lok-Sound\n**4.Generationen\n", -1, "",
       {0x210000, 0, 0, 1, 16, 0}},
      {"last size wins", "**16MBit\n" + gen + "**8MBit\n", -1, "", {0x108000, 0, 0, 1, 16, 0}},
      {"line ends of Windows", "**32MBit\r\n**PAD-12\r\n**4.Generation\r\n", -1, "",
       {0x420000, 0, 1, 1, 16, 0}},
      {"every directive, repeated", "**Mega168\n**Mega168\n**PAD-12\n**32MBit\n" + gen + gen, -1,
       "", {0x420000, 1, 1, 1, 16, 0}},
      {"AUTO lines counted also inside a block, small letters not",
       "**8MBit\n" + gen + "AUTO1\nAUTOBAHN.WAV\nb\nc\nauto5\nx\ny\nz\n" + autos, -1, "",
       {0x108000, 0, 0, 1, 16, 3}},
      {"126 AUTO lines", "**8MBit\n" + gen + repeat(autos, 126), -1, "",
       {0x108000, 0, 0, 1, 16, 126}},
      {"127th AUTO line ends the pass before any check", repeat("AUTO\n", 127), 334,
       "zu viele AUTO-Bloecke!\n", {0, 0, 0, 0, 4, 126}},
      {"300th character begins a new line", std::string(299, 'x') + "**16MBit\n" + gen, -1, "",
       {0x210000, 0, 0, 1, 16, 0}},
      {"299 characters still one line", std::string(298, 'x') + "**16MBit\n" + gen, 349,
       "keine FLASHSIZE angegeben!\n", {0, 0, 0, 1, 16, 0}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    fakes::FakeMachine fresh;
    zirpton::Run one{release, fresh.platform};
    dir.write("list.txt", c.list);
    one.list_file = open_text_for_reading("list.txt");
    int code = -1;
    try {
      scan_directives(one);
    } catch (const FatalExit& end) {
      code = end.code;
    }
    EXPECT_EQ(code, c.code);
    EXPECT_EQ(fresh.console.err, c.err);
    EXPECT_EQ(fresh.console.out, "");
    EXPECT_EQ(fresh.console.key_waits, c.code == -1 ? 0 : 1);
    EXPECT_EQ(one.flash.FLASHSIZE, c.flash.FLASHSIZE);
    EXPECT_EQ(one.flash.mega_168, c.flash.mega_168);
    EXPECT_EQ(one.flash.pad_to_12, c.flash.pad_to_12);
    EXPECT_EQ(one.flash.generation_4, c.flash.generation_4);
    EXPECT_EQ(one.flash.group_count, c.flash.group_count);
    EXPECT_EQ(one.flash.auto_anzahl, c.flash.auto_anzahl);
  }
}

TEST_F(DirectivesTest, AGoodPassRewindsAndSetsUpTheEntryPass) {
  run.current_slot = 17;
  run.running_offset = 99;
  ASSERT_EQ(scan("; Liste\n**16MBit\n**4.Generation\n00: A.WAV\n"), -1);
  EXPECT_EQ(run.flash.slot_count, 528);
  EXPECT_EQ(run.flash.header_bytes, 4752);
  EXPECT_EQ(run.current_slot, 0);
  EXPECT_EQ(run.running_offset, 4752u);
  char line[300];
  ASSERT_TRUE(read_text_line(run.list_file.get(), line, 300));
  EXPECT_STREQ(line, "; Liste\n");
  EXPECT_EQ(machine.console.out + machine.console.err, "");
}

TEST_F(DirectivesTest, CapacityLeavesOutTheHeaderAndCountsAtOneByteA11025th) {
  // The double nearest to 1/11025, to the last bit.
  EXPECT_EQ(std::bit_cast<uint64_t>(1.0 / 11025.0), 0x3F17C6F8C751F177u);
  EXPECT_EQ(std::bit_cast<uint64_t>(seconds_of(1)), 0x3F17C6F8C751F177u);
  const double per_sample = std::bit_cast<double>(uint64_t{0x3F17C6F8C751F177});
  struct Case {
    const char* directive;
    uint32_t room;
    const char* shown;
  } cases[] = {
      {"**16MBit", 2157936, "195.7"},
      {"**32MBit", 4320624, "391.9"},
      {"**8MBit", 1076592, "97.7"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.directive);
    ASSERT_EQ(scan(std::string(c.directive) + "\n**4.Generation\n"), -1);
    EXPECT_EQ(run.flash.FLASHSIZE - 4752, c.room);
    EXPECT_EQ(run.flash.capacity_seconds, static_cast<double>(c.room) * per_sample);
    char shown[16];
    std::snprintf(shown, sizeof shown, "%.1f", run.flash.capacity_seconds);
    EXPECT_STREQ(shown, c.shown);
  }
}

TEST_F(DirectivesTest, VerboseRunPrintsTheConfigurationAfterTheChecks) {
  const std::string list =
      "**32MBit\n**Mega168\n**4.Generation\n"
      "AUTO1\na\nb\nc\nAUTO40\nd\ne\nf\nAUTO80\ng\nh\ni\n";
  run.settings.verbose = true;
  ASSERT_EQ(scan(list), -1);
  EXPECT_EQ(machine.console.out, "FLASHSIZE=0x420000 mega_168=1 pad_to_12=0 auto_anzahl=3\n");

  fakes::FakeMachine quiet;
  zirpton::Run not_verbose{release, quiet.platform};
  not_verbose.list_file = open_text_for_reading("list.txt");
  scan_directives(not_verbose);
  EXPECT_EQ(quiet.console.out, "");

  fakes::FakeMachine failing;
  zirpton::Run refused{release, failing.platform};
  refused.settings.verbose = true;
  dir.write("list.txt", "**32MBit\n");
  refused.list_file = open_text_for_reading("list.txt");
  EXPECT_THROW(scan_directives(refused), FatalExit);
  EXPECT_EQ(failing.console.out, "");
}

TEST_F(DirectivesTest, ReleaseDataDecideStartSizeChecksAndConfigurationLine) {
  release.initial_flash_size = 0x84000;
  release.checks_generation_and_size = false;
  release.config_line = ConfigLine::with_new_sound;
  run.settings.verbose = true;

  ASSERT_EQ(scan("**PAD-12\n"), -1);
  EXPECT_EQ(machine.console.out,
            "FLASHSIZE=0x84000 mega_168=0 pad_to_12=1 new_sound=0 auto_anzahl=0\n");
  EXPECT_EQ(run.flash.slot_count, 132);
  EXPECT_EQ(run.flash.header_bytes, 1584);
  EXPECT_EQ(run.running_offset, 1584u);

  machine.console.out.clear();
  ASSERT_EQ(scan("**4.Generation\n"), -1);
  EXPECT_EQ(machine.console.out,
            "FLASHSIZE=0x84000 mega_168=0 pad_to_12=0 new_sound=1 auto_anzahl=0\n");

  machine.console.out.clear();
  release.config_line = ConfigLine::none;
  ASSERT_EQ(scan("**4.Generation\n"), -1);
  EXPECT_EQ(machine.console.out, "");
}

}  // namespace
}  // namespace zirpton
