// Whole runs of release 7.0 in-process, from the command line to the last
// byte, against the fake port and the virtual clock.
#include <gtest/gtest.h>

#include "tests/support/example_project.h"
#include "tests/support/expected_stream.h"
#include "tests/support/harness.h"

namespace zirpton::testing {
namespace {

std::string replace_all(std::string text, const std::string& from, const std::string& to) {
  for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
    text.replace(at, from.size(), to);
  return text;
}

Bytes file_image(const ScratchDir& dir, const std::string& name) {
  std::string content = dir.read(name);
  return Bytes(content.begin(), content.end() - 2);
}

TEST(FullRun, FileOutputRunListsTheSlotsAndWritesTheImage) {
  ScratchDir dir;
  write_example_project(dir);
  fakes::FakeMachine machine;
  RunResult result = run_in_process(release_7_0(), machine, {"r3", "list.txt", "cv.txt", "image.bin"});
  ASSERT_EQ(result.code, 0) << result.out << result.err;
  Bytes image = file_image(dir, "image.bin");
  EXPECT_EQ(image.size(), page * (2 + 16 + 3));
  EXPECT_EQ(dir.read("image.bin").size(), image.size() + 2);
  EXPECT_EQ(result.out, example_listing() + checksum_line(sum_of(image)));
  EXPECT_EQ(result.err, "  17\r  18\r");
  EXPECT_EQ(machine.log.transcript(), handshake_transcript);
  EXPECT_FALSE(dir.exists("zirptmp.$$$"));
  // The CV page and the sound data as they stand in the image.
  EXPECT_EQ(image[0], 3);
  EXPECT_EQ(image[28], 6);
  EXPECT_EQ(image[31], 0x10);
  std::string data = example_converted_bytes();
  for (size_t i = 0; i < data.size(); ++i)
    ASSERT_EQ(image[header_end + i], static_cast<uint8_t>(data[i] ^ 0x80)) << i;
}

TEST(FullRun, AnErrorInTheCvFileLeavesTheConvertedSoundsBehind) {
  ScratchDir dir;
  write_example_project(dir);
  dir.write("cv.txt", "1=3\n29=300\n");
  fakes::FakeMachine machine;
  RunResult result = run_in_process(release_7_0(), machine, {"r3", "list.txt", "cv.txt", "image.bin"});
  EXPECT_EQ(result.code, 895);
  std::string listing = example_listing();
  EXPECT_EQ(result.out, listing.substr(0, listing.find("  18 von")) +
                            "ung\x81ltige Zeile 29=300 in cv.txt: WERT > 255\n");
  EXPECT_EQ(dir.read("zirptmp.$$$"), example_converted_bytes());
  EXPECT_EQ(dir.read("image.bin"), "");
}

TEST(FullRun, PortRunsCarryTheSameImageAfterEveryEntryVariant) {
  struct Case {
    const char* port;
    bool mega_168;
    std::string entry;
    const char* reset_message;
  } cases[] = {
      {"r3", false, entry_bytes_transcript(), ""},
      {"3", false, reset_transcript(10000) + entry_bytes_transcript(), "10 Sekunden Reset....\n"},
      {"x3", false, reset_transcript(2000) + entry_bytes_transcript(), "10 Sekunden Reset....\n"},
      {"r3", true, "send 17\n", ""},
      {"3", true, mega_168_reset_transcript(10000) + "send 17\n", "10 Sekunden Reset....\n"},
      {"x3", true, mega_168_reset_transcript(2000) + "send 17\n", "10 Sekunden Reset....\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.port) + (c.mega_168 ? " Mega168" : ""));
    ScratchDir dir;
    write_example_project(dir, c.mega_168);
    fakes::FakeMachine file_machine;
    ASSERT_EQ(run_in_process(release_7_0(), file_machine, {"r3", "list.txt", "cv.txt", "image.bin"}).code, 0);
    Bytes image = file_image(dir, "image.bin");

    fakes::FakeMachine machine;
    RunResult result = run_in_process(release_7_0(), machine, {c.port, "list.txt", "cv.txt"});
    EXPECT_EQ(result.code, 0);
    std::string stream = port_transcript(in_page_pairs(image));
    // After the Mega168 burst the whole stream goes with two stop bits.
    if (c.mega_168 && c.port[0] != 'r') stream = replace_all(stream, "8N1", "8N2");
    EXPECT_EQ(machine.log.transcript(), handshake_transcript + c.entry + "pause 6000\n" + stream);
    std::string listing = example_listing();
    size_t announcement = listing.find("  18 von");
    EXPECT_EQ(result.out, listing.substr(0, announcement) + c.reset_message +
                              "\nEmpf\x84nger sollte kurz hupen\n" + listing.substr(announcement) +
                              checksum_line(sum_of(image)));
    EXPECT_EQ(result.err, "  17\r  18\r");
    EXPECT_EQ(machine.console.key_waits, 0);
  }
}

TEST(FullRun, VerboseRunShowsTheConfigurationAndTheAutoTable) {
  ScratchDir dir;
  write_example_project(dir);
  fakes::FakeMachine machine;
  machine.console.env.insert("QZ_HOME");
  RunResult result = run_in_process(release_7_0(), machine, {"r3", "list.txt", "cv.txt", "image.bin"});
  ASSERT_EQ(result.code, 0);
  EXPECT_EQ(result.out.substr(0, result.out.find("0.5 Sekunden")),
            "Zirpton Version 7.0, 11.5.2012\n"
            "FLASHSIZE=0x210000 mega_168=0 pad_to_12=1 auto_anzahl=0\n");
  // The AUTO table follows the seconds line; its first row, whole.
  EXPECT_EQ(result.out.substr(result.out.find("benutzt\n") + 8, 45),
            "  0 0x00 C.WAV 00/00 B.WAV 00/00 C.WAV 00/00\n");
}

}  // namespace
}  // namespace zirpton::testing
