// The real zirpton program, run as a process: the command line, the port and
// the files of a run up to the list file, with COM1 pointing at a plain file.
#include <gtest/gtest.h>
#include <sys/file.h>

#include <fcntl.h>
#include <unistd.h>

#include "tests/support/harness.h"
#include "tests/support/process.h"

namespace zirpton::testing {
namespace {

const std::string banner = "Zirpton Version 7.0, 11.5.2012\n";
const std::string usage = "Usage: zirpton COMx filelist cv-defaults\n";
const std::string handshake("\x24\x80\x11\x17\x04\xA6", 6);

class ProgramStart : public ::testing::Test {
 protected:
  ScratchDir dir;
  std::map<std::string, std::string> env{{"ZIRPTON_COM1", (dir.path() / "port").string()}};

  void SetUp() override { dir.write("port", ""); }
  ProcessResult run(const std::vector<std::string>& args) {
    return run_program_file("zirpton", args, env, dir.path());
  }
};

TEST_F(ProgramStart, FewerThanThreeArgumentsGiveTheUsageLineAndCode9) {
  for (const auto& args : std::vector<std::vector<std::string>>{{}, {"1"}, {"1", "list.txt"}}) {
    ProcessResult result = run(args);
    EXPECT_EQ(result.status, 9);
    EXPECT_EQ(result.out, banner + usage);
    EXPECT_EQ(result.err, "");
    EXPECT_EQ(dir.read("port"), "");
  }
}

TEST_F(ProgramStart, AMissingCvFileEndsAfterTheHandshakeWithCode2) {
  ProcessResult result = run({"1", "list.txt", "cv.txt"});
  EXPECT_EQ(result.status, 2);
  EXPECT_EQ(result.out, banner);
  EXPECT_EQ(result.err, "cv.txt: No such file or directory\n");
  EXPECT_EQ(dir.read("port"), handshake);
  EXPECT_FALSE(dir.exists("zirptmp.$$$"));
}

TEST_F(ProgramStart, AMissingListFileLeavesAnEmptyTemporaryFileAndOutputFile) {
  dir.write("cv.txt", "1=3\n");
  ProcessResult result = run({"r1", "list.txt", "cv.txt", "image.bin"});
  EXPECT_EQ(result.status, 2);
  EXPECT_EQ(result.out, banner);
  EXPECT_EQ(result.err, "list.txt: No such file or directory\n");
  EXPECT_EQ(dir.read("port"), handshake);
  ASSERT_TRUE(dir.exists("zirptmp.$$$"));
  EXPECT_EQ(dir.read("zirptmp.$$$"), "");
  ASSERT_TRUE(dir.exists("image.bin"));
  EXPECT_EQ(dir.read("image.bin"), "");
}

TEST_F(ProgramStart, ALinkWhereTheTemporaryFileGoesIsNotFollowed) {
  dir.write("cv.txt", "");
  std::filesystem::create_symlink(dir.path() / "elsewhere", dir.path() / "zirptmp.$$$");
  ProcessResult result = run({"1", "list.txt", "cv.txt"});
  EXPECT_EQ(result.status, 2);
  EXPECT_EQ(result.err, "zirptmp.$$$: Too many levels of symbolic links\n");
  EXPECT_FALSE(dir.exists("elsewhere"));
}

TEST_F(ProgramStart, AMissingDeviceEndsWithCode1BeforeAnyFileIsCreated) {
  env["ZIRPTON_COM1"] = (dir.path() / "no-such-device").string();
  ProcessResult result = run({"1", "list.txt", "cv.txt", "image.bin"});
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.out, banner);
  EXPECT_EQ(result.err, "Open COM1: Error 2\n");
  EXPECT_FALSE(dir.exists("zirptmp.$$$"));
  EXPECT_FALSE(dir.exists("image.bin"));
}

TEST_F(ProgramStart, PortNamesWithoutANumberOrDeviceNameCom0) {
  for (const char* port : {"COM1", "R1", "r"}) {
    ProcessResult result = run({port, "list.txt", "cv.txt"});
    EXPECT_EQ(result.status, 1) << port;
    EXPECT_EQ(result.err, "Open COM0: Error 2\n") << port;
  }
}

TEST_F(ProgramStart, APortInUseByAnotherRunCannotBeOpened) {
  int holder = open((dir.path() / "port").c_str(), O_RDWR);
  ASSERT_EQ(flock(holder, LOCK_EX), 0);
  ProcessResult result = run({"1", "list.txt", "cv.txt"});
  close(holder);
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.err, "Open COM1: Error 11\n");
  EXPECT_EQ(dir.read("port"), "");
}

TEST_F(ProgramStart, ADirectoryIsNoListFile) {
  dir.write("cv.txt", "");
  std::filesystem::create_directory(dir.path() / "list");
  for (const char* program : {"zirpton", "zirpton-6.2"}) {
    ProcessResult result = run_program_file(program, {"1", "list", "cv.txt", "image.bin"}, env, dir.path());
    EXPECT_EQ(result.status, 2) << program;
    EXPECT_EQ(result.err, "list: Is a directory\n") << program;
  }
}

TEST_F(ProgramStart, AUtf8LocaleThatIsNotInstalledStillGetsUtf8) {
  env["LC_ALL"] = "xx_XX.UTF-8";
  dir.write("real-cv.txt", "");
  dir.write("list.txt", "**16MBit\n**4.Generation\nxyz\n");
  ProcessResult result = run_program_file("zirpton", {"1", "list.txt", "real-cv.txt"}, env, dir.path());
  EXPECT_EQ(result.status, 418 % 256);
  EXPECT_EQ(result.err, "ungültige Zeile: xyz!\n");
}

// Output into a closed pipe must not end the run halfway without a word.
TEST_F(ProgramStart, AClosedPipeOnStandardOutputDoesNotStopTheRun) {
  dir.write("cv.txt", "");
  dir.write("list.txt", "**16MBit\n**4.Generation\n");
  std::string command = "cd '" + dir.path().string() + "' && ZIRPTON_COM1=port '" +
                        bin_path("zirpton").string() +
                        "' 1 list.txt cv.txt image.bin </dev/null 2>/dev/null | true; "
                        "echo \\${PIPESTATUS[0]} > status";
  ASSERT_EQ(std::system(("bash -c \"" + command + "\"").c_str()), 0);
  EXPECT_EQ(dir.read("status"), "0\n");
  EXPECT_EQ(dir.read("image.bin").size(), 264u * 18 + 2);
}

}  // namespace
}  // namespace zirpton::testing
