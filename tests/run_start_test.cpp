// The start of a run in-process, against the fake machine.
#include <gtest/gtest.h>

#include "tests/support/harness.h"

namespace zirpton::testing {
namespace {

TEST(RunStart, TheUsageLineWaitsForAKeyWithoutTouchingThePort) {
  fakes::FakeMachine machine;
  RunResult result = run_in_process(release_7_0(), machine, {"3", "list.txt"});
  EXPECT_EQ(result.code, 9);
  EXPECT_EQ(result.out, "Zirpton Version 7.0, 11.5.2012\nUsage: zirpton COMx filelist cv-defaults\n");
  EXPECT_EQ(machine.console.key_waits, 1);
  EXPECT_TRUE(machine.ports.opened.empty());
}

TEST(RunStart, FiveArgumentsMakeAPortRunAndTheRestIsIgnored) {
  ScratchDir dir;
  fakes::FakeMachine machine;
  RunResult result = run_in_process(release_7_0(), machine,
                                    {"x2", "list.txt", "cv.txt", "out.bin", "more"});
  EXPECT_EQ(result.code, 2);
  EXPECT_EQ(machine.ports.opened, std::vector<int>{2});
  EXPECT_FALSE(dir.exists("out.bin"));
  EXPECT_EQ(result.err, "cv.txt: No such file or directory\n");
  EXPECT_EQ(machine.console.key_waits, 1);
}

}  // namespace
}  // namespace zirpton::testing
