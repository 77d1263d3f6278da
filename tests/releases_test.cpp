// The same scenarios through the releases: what tells them apart, seen from
// outside (exit codes, messages, the seconds line, the image, the line).
#include <gtest/gtest.h>

#include <map>

#include "tests/support/expected_stream.h"
#include "tests/support/harness.h"
#include "tests/support/wave_builder.h"

namespace zirpton::testing {
namespace {

struct Program {
  const char* name;
  const Release& (*release)();
};

const Program programs[] = {{"7.0", release_7_0}, {"6.6", release_6_6}, {"6.2", release_6_2},
                            {"6.1a", release_6_1a}, {"5.4", release_5_4}, {"5.3", release_5_3}};
constexpr int program_count = 6;

using Files = std::map<std::string, std::string>;

const std::string bank_0 =
    "00: A.WAV\n01: ---\n02: ---\n03: ---\n04: A.WAV\n05: ---\n06: ---\n07: ---\n08: A.WAV\n";
const std::string good_list = "**16MBit\n**4.Generation\n" + bank_0;

// An entry past the paired slots 0 to 11.
std::string slot_12(const std::string& name) { return "09: ---\n10: ---\n11: ---\n12: " + name + "\n"; }

Files sounds() {
  std::string samples;
  for (int i = 0; i < 100; ++i) samples += static_cast<char>(i);
  return {{"A.WAV", wave_8bit(samples)}, {"cv.txt", "1=3\n"}};
}

struct Outcome {
  int code;
  std::string out, err;
  uint32_t last_pause_ms;  // the last pause of the run
  int key_waits;
  Bytes image;  // a file-output run's output file, checksum left off
};

Outcome run(const Program& program, const Files& files, std::vector<std::string> args = {}) {
  ScratchDir dir;
  for (const auto& [name, content] : sounds()) dir.write(name, content);
  for (const auto& [name, content] : files) dir.write(name, content);
  if (args.empty()) args = {"r3", "list.txt", "cv.txt", "image.bin"};
  fakes::FakeMachine machine;
  RunResult result = run_in_process(program.release(), machine, args);
  uint32_t last_pause = 0;
  for (const auto& event : machine.log.events)
    if (event.kind == fakes::LineEvent::pause) last_pause = event.ms;
  Outcome outcome{result.code, result.out, result.err, last_pause, machine.console.key_waits, {}};
  if (dir.exists("image.bin")) {
    std::string file = dir.read("image.bin");
    if (file.size() >= 2) outcome.image = Bytes(file.begin(), file.end() - 2);
  }
  return outcome;
}

std::string lines(const std::string& prefix, int count) {
  std::string text;
  for (int i = 0; i < count; ++i) text += prefix + "\n";
  return text;
}

TEST(Releases, EveryReachableFatalErrorEndsWithTheCodeOfItsRelease) {
  std::string stereo = riff(fmt_chunk(2, 11025, 2, 8) + chunk("data", "abcd"));
  std::string short_16 = riff(fmt_chunk(1, 11025, 2, 16) + chunk("data", "ab", 400));
  std::string short_8 = riff(fmt_chunk(1, 11025, 1, 8) + chunk("data", "ab", 400));
  std::string appended = wave_8bit("abc") + "tail";
  std::string big = wave_8bit(std::string(1100000, 'x'));
  struct Case {
    const char* what;
    Files files;
    int codes[program_count];  // 7.0, 6.6, 6.2, 6.1a, 5.4, 5.3
    std::vector<std::string> args = {};
  } cases[] = {
      {"127 AUTO lines", {{"list.txt", lines("AUTO", 127)}}, {334, 315, 304, 300, 214, 213}},
      {"AUTO after 1000", {{"list.txt", good_list + "1000: A.WAV\nAUTO1\n"}}, {376, 344, 326, 322, 236, 235}},
      {"1000 in AUTO", {{"list.txt", good_list + "AUTO1\na\nb\nc\n1000: A.WAV\n"}}, {443, 411, 384, 380, 294, 293}},
      {"2000 in AUTO", {{"list.txt", good_list + "AUTO1\na\nb\nc\n2000: A.WAV\n"}}, {454, 422, 395, 391, 305, 304}},
      {"3000 in AUTO", {{"list.txt", good_list + "AUTO1\na\nb\nc\n3000: A.WAV\n"}}, {468, 436, 409, 405, 319, 318}},
      {"AUTO127", {{"list.txt", good_list + "AUTO127\na\nb\nc\n"}}, {388, 356, 338, 334, 248, 247}},
      {"invalid line", {{"list.txt", good_list + "xyz\n"}}, {418, 386, 359, 355, 269, 268}},
      {"no colon", {{"list.txt", good_list + "9: A.WAV\n"}}, {435, 403, 376, 372, 286, 285}},
      {"wrong sound number", {{"list.txt", good_list + "10: A.WAV\n"}}, {34, 34, 34, 34, 34, 34}},
      {"1000 without 4th generation", {{"list.txt", "**16MBit\n" + bank_0 + "1000: A.WAV\n"}},
       {343, 457, 430, 426, 340, 339}},
      {"no size directive", {{"list.txt", "**4.Generation\n" + bank_0}}, {349, 0, 0, 0, 0, 0}},
      {"no AUTO block for step 1", {{"list.txt", good_list + "AUTO5\nA.WAV\nA.WAV\nA.WAV\n"}},
       {641, 610, 583, 579, 480, 479}},
      {"AUTO block cut short", {{"list.txt", good_list + "AUTO1\nA.WAV\n"}}, {14, 14, 14, 14, 14, 14}},
      {"sound not found", {{"list.txt", good_list + slot_12("X.WAV")}}, {517, 486, 459, 455, 369, 368}},
      {"not a WAVE file", {{"list.txt", good_list + slot_12("BAD.WAV")}, {"BAD.WAV", "RIFF....WAVX"}},
       {525, 494, 467, 17, 18, 18}},
      {"bytes behind the chunks", {{"list.txt", good_list + slot_12("APP.WAV")}, {"APP.WAV", appended}},
       {0, 0, 0, 17, 0, 0}},
      {"stereo", {{"list.txt", good_list + slot_12("ST.WAV")}, {"ST.WAV", stereo}}, {562, 531, 504, 500, 404, 403}},
      {"16-bit data cut short", {{"list.txt", good_list + slot_12("S16.WAV")}, {"S16.WAV", short_16}},
       {582, 551, 524, 520, 424, 423}},
      {"8-bit data cut short", {{"list.txt", good_list + slot_12("S8.WAV")}, {"S8.WAV", short_8}},
       {605, 574, 547, 543, 447, 446}},
      {"too large", {{"list.txt", "**8MBit\n**4.Generation\n" + bank_0 + slot_12("BIG.WAV")}, {"BIG.WAV", big}},
       {706, 675, 648, 644, 545, 544}},
      {"slot 4 used, 0 not", {{"list.txt", good_list.substr(0, good_list.find("00:")) +
                                               "00: ---\n01: ---\n02: ---\n03: ---\n04: A.WAV\n"}},
       {719, 688, 661, 657, 558, 557}},
      {"slot 0 used, 4 not", {{"list.txt", "**16MBit\n**4.Generation\n00: A.WAV\n"}}, {725, 694, 667, 663, 564, 563}},
      {"slot 8 used, 0 not", {{"list.txt", "**16MBit\n**4.Generation\n" + lines("00: ---", 1) +
                                               "01: ---\n02: ---\n03: ---\n04: ---\n05: ---\n06: ---\n"
                                               "07: ---\n08: A.WAV\n"}},
       {731, 700, 673, 669, 570, 569}},
      {"slot 0 used, 8 not", {{"list.txt", good_list.substr(0, good_list.find("08:"))}}, {737, 706, 679, 675, 576, 575}},
      {"CV number 0", {{"list.txt", good_list}, {"cv.txt", "0=1\n"}}, {888, 861, 824, 820, 708, 659}},
      {"CV value 256", {{"list.txt", good_list}, {"cv.txt", "1=256\n"}}, {895, 868, 831, 827, 715, 666}},
      {"CV value missing", {{"list.txt", good_list}, {"cv.txt", "1=\n"}}, {15, 15, 15, 15, 15, 15}},
      {"two arguments", {}, {9, 9, 9, 9, 9, 9}, {"3", "list.txt"}},
      {"no list file", {}, {2, 2, 2, 2, 2, 2}},
  };
  for (const auto& c : cases) {
    for (int p = 0; p < program_count; ++p) {
      SCOPED_TRACE(std::string(c.what) + " in " + programs[p].name);
      Outcome outcome = run(programs[p], c.files, c.args);
      EXPECT_EQ(outcome.code, c.codes[p]) << outcome.out << outcome.err;
      if (outcome.code == 0) continue;
      // 7.0 waits for a key; the 6.x releases pause three seconds instead.
      bool pauses = p > 0;
      EXPECT_EQ(outcome.key_waits, pauses ? 0 : 1);
      if (c.codes[p] != 1) {
        EXPECT_EQ(outcome.last_pause_ms == 3000, pauses) << outcome.last_pause_ms;
      }
    }
  }
}

TEST(Releases, MessagesAreThoseOfRelease70) {
  Outcome header = run(programs[3], {{"list.txt", good_list + slot_12("APP.WAV")},
                                     {"APP.WAV", wave_8bit("abc") + "tail"}});
  EXPECT_EQ(header.err, "Header-Problem bei File APP.WAV (Code=-2)\n");
  Outcome lines_6 = run(programs[1], {{"list.txt", "**16MBit\n" + bank_0 + "1000: A.WAV\n"}});
  EXPECT_EQ(lines_6.out.substr(lines_6.out.find('\n') + 1), "zu viele Zeilen!\n");
  EXPECT_EQ(lines_6.err, "");
}

// The seconds line and the announcement: sizes the releases know or don't.
TEST(Releases, DirectivesEachReleaseKnows) {
  struct Case {
    const char* directives;
    const char* seconds[program_count];  // used and possible
    const char* pages;  // the announcement's second number in the 6.x releases
  } cases[] = {
      {"**32MBit\n**4.Generation\n", {"0.4 Sekunden von maximal 391.9", "0.4 Sekunden von maximal 48.6",
                                       "0.4 Sekunden von maximal 48.6", "0.4 Sekunden von maximal 48.6",
                                       "0.4 Sekunden von maximal 48.6", "0.4 Sekunden von maximal 48.6"}, "2046"},
      {"**8MBit\n**4.Generation\n", {"0.4 Sekunden von maximal 97.7", "0.4 Sekunden von maximal 97.7",
                                      "0.4 Sekunden von maximal 48.6", "0.4 Sekunden von maximal 48.6",
                                      "0.4 Sekunden von maximal 48.6", "0.4 Sekunden von maximal 48.6"}, nullptr},
      {"**16MBit\n**4.Generation\n", {"0.4 Sekunden von maximal 195.7", "0.4 Sekunden von maximal 195.7",
                                       "0.4 Sekunden von maximal 195.7", "0.4 Sekunden von maximal 195.7",
                                       "0.4 Sekunden von maximal 195.7", "0.4 Sekunden von maximal 195.7"}, "8190"},
      {"", {nullptr, "0.2 Sekunden von maximal 48.9", "0.2 Sekunden von maximal 48.9",
            "0.2 Sekunden von maximal 48.9", "0.2 Sekunden von maximal 48.9", "0.2 Sekunden von maximal 48.9"}, "2046"},
      {"**4.Generation\n", {nullptr, "0.4 Sekunden von maximal 48.6", "0.4 Sekunden von maximal 48.6",
                             "0.4 Sekunden von maximal 48.6", "0.4 Sekunden von maximal 48.6",
                             "0.4 Sekunden von maximal 48.6"}, "2046"},
  };
  for (const auto& c : cases) {
    for (int p = 0; p < program_count; ++p) {
      SCOPED_TRACE(std::string(c.directives) + " in " + programs[p].name);
      Outcome outcome = run(programs[p], {{"list.txt", c.directives + bank_0}});
      if (!c.seconds[p]) {
        EXPECT_NE(outcome.code, 0);
        continue;
      }
      ASSERT_EQ(outcome.code, 0) << outcome.err;
      std::string second_line = outcome.out.substr(outcome.out.find('\n') + 1);
      EXPECT_EQ(second_line.substr(0, second_line.find('\n')),
                std::string(c.seconds[p]) + " Sekunden benutzt");
      if (p > 0 && c.pages) {
        EXPECT_NE(outcome.out.find(std::string(" von ") + c.pages + " Pages"), std::string::npos);
      }
    }
  }
}

TEST(Releases, Release66WritesTheImageOf70ForAListWithout32MBit) {
  Files files{{"list.txt", "**16MBit\n**Mega168\n**PAD-12\n**4.Generation\n" + bank_0 +
                               "AUTO1\nA.WAV\nA.WAV\nA.WAV\nAUTO10\nB.WAV\nB.WAV\nA.WAV\n"},
              {"B.WAV", wave_16bit({1, 2, 3, -4, 500}, 22050)}};
  Outcome seven = run(programs[0], files);
  Outcome six = run(programs[1], files);
  ASSERT_EQ(seven.code, 0);
  ASSERT_EQ(six.code, 0);
  EXPECT_EQ(six.image, seven.image);
  EXPECT_EQ(six.out.substr(six.out.find('\n')), seven.out.substr(seven.out.find('\n')));
}

// The AUTO blocks at speed steps 1, 10 and 30 naming nine files: the 6.2
// and 6.1a links look at the sounds only.
TEST(Releases, AutoLinksWithAndWithoutTheBlockMarks) {
  Files nine{{"list.txt", good_list + "AUTO1\nA1.WAV\nA2.WAV\nA3.WAV\nAUTO10\nB1.WAV\nB2.WAV\nB3.WAV\n"
                                      "AUTO30\nC1.WAV\nC2.WAV\nC3.WAV\n"}};
  for (const char* name : {"A1", "A2", "A3", "B1", "B2", "B3", "C1", "C2", "C3"})
    nine[std::string(name) + ".WAV"] = wave_8bit(name);
  Files same{{"list.txt", good_list + "AUTO1\nA1.WAV\nA2.WAV\nA3.WAV\nAUTO5\nA1.WAV\nA2.WAV\nA3.WAV\n"},
             {"A1.WAV", wave_8bit("1")}, {"A2.WAV", wave_8bit("2")}, {"A3.WAV", wave_8bit("3")}};
  auto record_byte = [](const Outcome& outcome, int slot, int byte) {
    return outcome.image.at(528 + 8 * static_cast<size_t>(slot) + static_cast<size_t>(byte));
  };
  // Byte 7 holds pi shifted left and bit 0 for 11025 Hz; 5.3 has no pi,
  // and there 0xFE plus that bit.
  struct Expected {
    int byte_7_of_8, byte_7_of_28, ni_9, ni_0_same;
  } expected[program_count] = {{0x01, 0x11, 0x1D, 4}, {0x01, 0x11, 0x1D, 4},
                               {0x0F, 0x37, 0x1D, 0}, {0x0F, 0x37, 0x1D, 0},
                               {0x0F, 0x37, 0x1D, 0}, {0xFF, 0xFF, 0x00, 0}};
  for (int p = 0; p < program_count; ++p) {
    SCOPED_TRACE(programs[p].name);
    Outcome outcome = run(programs[p], nine);
    ASSERT_EQ(outcome.code, 0) << outcome.err;
    for (int bank : {132, 264, 396}) {
      EXPECT_EQ(record_byte(outcome, bank + 8, 7), expected[p].byte_7_of_8);
      EXPECT_EQ(record_byte(outcome, bank + 28, 7), expected[p].byte_7_of_28);
      EXPECT_EQ(record_byte(outcome, bank + 9, 5), expected[p].ni_9);
    }
    Outcome same_files = run(programs[p], same);
    ASSERT_EQ(same_files.code, 0) << same_files.err;
    for (int step = 0; step < 4; ++step)
      EXPECT_EQ(record_byte(same_files, 132 + step, 5), expected[p].ni_0_same) << step;
  }
}

TEST(Releases, ConfigurationLineOfEachRelease) {
  const char* expected[program_count] = {
      "FLASHSIZE=0x210000 mega_168=0 pad_to_12=0 auto_anzahl=0\n",
      "FLASHSIZE=0x210000 mega_168=0 pad_to_12=0 new_sound=1 auto_anzahl=0\n", "", "", "", ""};
  for (int p = 0; p < program_count; ++p) {
    ScratchDir dir;
    for (const auto& [name, content] : sounds()) dir.write(name, content);
    dir.write("list.txt", good_list);
    fakes::FakeMachine machine;
    machine.console.env.insert("QZ_HOME");
    RunResult result = run_in_process(programs[p].release(), machine, {"r3", "list.txt", "cv.txt", "o.bin"});
    ASSERT_EQ(result.code, 0);
    std::string after_banner = result.out.substr(result.out.find('\n') + 1);
    EXPECT_EQ(after_banner.substr(0, after_banner.find("0.4 Sekunden")), expected[p]) << programs[p].name;
  }
}

// Whole port runs of the 6.x and 5.x programs: single pages with their pauses, the
// entry of each release, "u" before the CV page of a 4th-generation list.
TEST(Releases, PortRunsOfTheEarlierProgramsSendSinglePages) {
  const std::string with_mega = "**16MBit\n**Mega168\n**4.Generation\n" + bank_0;
  struct Case {
    int program;
    const char* port;
    std::string list;
    std::string entry;
    uint8_t cv_command;
    size_t header_pages;
  } cases[] = {
      {1, "r3", with_mega, "send 17\npause 6000\n", 0x75, 16},
      {1, "x3", with_mega, mega_168_reset_transcript(2000) + "send 17\npause 6000\n", 0x75, 16},
      {2, "x3", with_mega, reset_transcript(2000) + entry_bytes_transcript() + "pause 12000\n", 0x75, 16},
      {3, "3", "**16MBit\n" + bank_0, reset_transcript(10000) + entry_bytes_transcript() + "pause 12000\n",
       0x57, 4},
      {4, "r3", with_mega, entry_bytes_transcript() + "pause 12000\n", 0x75, 16},
      {5, "x3", "**16MBit\n" + bank_0, reset_transcript(2000) + entry_bytes_transcript() + "pause 12000\n",
       0x57, 4},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(programs[c.program].name) + " " + c.port);
    Outcome file_run = run(programs[c.program], {{"list.txt", c.list}});
    ASSERT_EQ(file_run.code, 0) << file_run.err;
    ScratchDir dir;
    for (const auto& [name, content] : sounds()) dir.write(name, content);
    dir.write("list.txt", c.list);
    fakes::FakeMachine machine;
    RunResult port_run = run_in_process(programs[c.program].release(), machine, {c.port, "list.txt", "cv.txt"});
    ASSERT_EQ(port_run.code, 0) << port_run.err;
    std::string stream = single_page_transcript(file_run.image, c.cv_command, c.header_pages);
    if (c.entry.find("8N2") != std::string::npos) {
      for (size_t at = stream.find("8N1"); at != std::string::npos; at = stream.find("8N1", at))
        stream.replace(at, 3, "8N2");
    }
    EXPECT_EQ(machine.log.transcript(), handshake_transcript + c.entry + stream);
  }
}

}  // namespace
}  // namespace zirpton::testing
