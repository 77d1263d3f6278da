// The real zirpton program on the example project, run as a process.
#include <gtest/gtest.h>

#include "tests/support/example_project.h"
#include "tests/support/expected_stream.h"
#include "tests/support/harness.h"
#include "tests/support/process.h"

namespace zirpton::testing {
namespace {

class ProgramRun : public ::testing::Test {
 protected:
  ScratchDir dir;
  std::map<std::string, std::string> env{{"ZIRPTON_COM1", (dir.path() / "port").string()}};

  void SetUp() override {
    dir.write("port", "");
    write_example_project(dir);
  }
};

TEST_F(ProgramRun, FileOutputRunPrintsTheListingAndWritesTheImage) {
  ProcessResult result = run_program_file("zirpton", {"1", "list.txt", "cv.txt", "image.bin"}, env, dir.path());
  EXPECT_EQ(result.status, 0);
  std::string file = dir.read("image.bin");
  ASSERT_EQ(file.size(), page * 21 + 2);
  Bytes image(file.begin(), file.end() - 2);
  EXPECT_EQ(result.out, example_listing() + checksum_line(sum_of(image)));
  EXPECT_EQ(result.err, "  17\r  18\r");
  EXPECT_EQ(Bytes(file.begin(), file.end()), with_checksum(image, sum_of(image)));
  EXPECT_FALSE(dir.exists("zirptmp.$$$"));
}

TEST_F(ProgramRun, ARunEndedByTheCvFileLeavesTheConvertedSounds) {
  dir.write("cv.txt", "29=-1\n");
  ProcessResult result = run_program_file("zirpton", {"1", "list.txt", "cv.txt", "image.bin"}, env, dir.path());
  EXPECT_EQ(result.status, 895 % 256);
  std::string listing = example_listing();
  EXPECT_EQ(result.out, listing.substr(0, listing.find("  18 von")) +
                            "ung\x81ltige Zeile 29=-1 in cv.txt: WERT > 255\n");
  EXPECT_EQ(dir.read("zirptmp.$$$"), example_converted_bytes());
}

TEST_F(ProgramRun, AUtf8LocaleGetsTheMessagesInUtf8) {
  dir.write("cv.txt", "29=-1\n");
  env["LC_ALL"] = "C.UTF-8";
  ProcessResult result = run_program_file("zirpton", {"1", "list.txt", "cv.txt", "image.bin"}, env, dir.path());
  EXPECT_EQ(result.out.substr(result.out.find("ung")), "ungültige Zeile 29=-1 in cv.txt: WERT > 255\n");
}

TEST_F(ProgramRun, AnOutputFileOnAFullDiskEndsWithCode2AndNoChecksumLine) {
  ProcessResult result = run_program_file("zirpton", {"1", "list.txt", "cv.txt", "/dev/full"}, env, dir.path());
  EXPECT_EQ(result.status, 2);
  std::string listing = example_listing();
  EXPECT_EQ(result.out, listing);
  EXPECT_EQ(result.err, "  17\r  18\r/dev/full: No space left on device\n");
}

}  // namespace
}  // namespace zirpton::testing
