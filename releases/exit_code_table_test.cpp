#include "releases/exit_code_table.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "tests/support/harness.h"

namespace zirpton {
namespace {

// The codes added to the releases' own must not be mistaken for an old one,
// also where a shell sees them modulo 256, and must stay out of 126 to 165,
// which shells use for signals.
TEST(ExitCodes, AddedCodesStandApartInEveryRelease) {
  for (const auto& program : program_releases()) {
    const ExitCodes& codes = program.release().exit;
    for (const auto& added : exit_checks()) {
      int code = codes.*added.code;
      if (std::find(std::begin(added_exit_codes), std::end(added_exit_codes), code) ==
          std::end(added_exit_codes))
        continue;
      SCOPED_TRACE(std::string(program.program) + ": " + added.meaning);
      EXPECT_TRUE(code < 126 || code > 165) << code;
      for (const auto& other : exit_checks()) {
        int other_code = codes.*other.code;
        if (&other == &added || other_code == no_check) continue;
        EXPECT_NE(code % 256, other_code % 256) << other.meaning;
      }
    }
  }
}

// The README's table is this table: it can't go stale.
TEST(ExitCodes, TheReadmeShowsEveryCodeOfEveryProgram) {
  std::string readme = testing::read_file(std::string(ZIRPTON_SOURCE_DIR) + "/README.md");
  const std::string begin = "<!-- exit codes: made by zirpton-exit-codes -->\n";
  const std::string end = "<!-- end of exit codes -->";
  size_t from = readme.find(begin);
  size_t to = readme.find(end);
  ASSERT_NE(from, std::string::npos);
  ASSERT_NE(to, std::string::npos);
  EXPECT_EQ(readme.substr(from + begin.size(), to - from - begin.size()), exit_code_table());
}

}  // namespace
}  // namespace zirpton
