#include "cv/cv_defaults.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "driver/fatal_exit.h"
#include "driver/run.h"
#include "platform/fakes/line_log.h"
#include "releases/release.h"
#include "tests/support/harness.h"

namespace zirpton {
namespace {

constexpr int no_exit = -1;

struct Outcome {
  int code = no_exit;
  std::string out, err;
  std::vector<uint8_t> cv_page;
  bool rest_of_buffer_ff = false;
  bool file_closed = false;
};

// A fresh run that reads the CV file `name` of the working directory; the
// work buffer starts as the sound conversion leaves it, not as 0xFF.
Outcome read_cv_file(const std::string& name) {
  fakes::FakeMachine machine;
  auto run = std::make_unique<zirpton::Run>(release_7_0(), machine.platform);
  std::fill(std::begin(run->work_buffer), std::end(run->work_buffer), uint8_t{0x5A});
  run->cv_name = name;
  run->cv_file = open_text_for_reading(name.c_str());
  Outcome outcome;
  try {
    read_cv_defaults(*run);
  } catch (const FatalExit& end) {
    outcome.code = end.code;
  }
  outcome.out = machine.console.out;
  outcome.err = machine.console.err;
  outcome.cv_page.assign(run->work_buffer, run->work_buffer + 528);
  outcome.rest_of_buffer_ff = std::all_of(run->work_buffer + 528, std::end(run->work_buffer),
                                          [](uint8_t byte) { return byte == 0xFF; });
  outcome.file_closed = run->cv_file == nullptr;
  return outcome;
}

std::vector<uint8_t> page_with(const std::map<int, uint8_t>& cvs) {
  std::vector<uint8_t> page(528, 0xFF);
  for (auto [cv, value] : cvs) page[static_cast<size_t>(cv - 1)] = value;
  return page;
}

// Messages as the console gets them in code page 850 ("ü" is 0x81).
std::string cv_error(const std::string& line) {
  return "ung\x81ltige Zeile " + line + " in cv.txt: CV > 256 oder CV < 1\n";
}
std::string value_error(const std::string& line) {
  return "ung\x81ltige Zeile " + line + " in cv.txt: WERT > 255\n";
}
std::string missing_error(const std::string& line) {
  return "ung\x81ltige Zeile " + line + " in cv.txt: CV oder WERT fehlt\n";
}

struct CvCase {
  const char* name;
  std::string content;
  std::map<int, uint8_t> cvs;  // what the page holds afterwards
  int code;
  std::string out;
};

TEST(CvDefaults, FileIntoPage) {
  const ExitCodes& exit = release_7_0().exit;
  const std::vector<CvCase> cases = {
      {"empty file", "", {}, no_exit, ""},
      {"no equals sign anywhere", "Kommentar\n\n  CV 29 6\n", {}, no_exit, ""},
      {"first and last CV", "1=3\n256=0\n", {{1, 3}, {256, 0}}, no_exit, ""},
      {"white space around both numbers", " 29 = 6\r\n", {{29, 6}}, no_exit, ""},
      {"hexadecimal", "0x1D=0x06\n", {{29, 6}}, no_exit, ""},
      {"octal", "035=6\n", {{29, 6}}, no_exit, ""},
      {"capital X, tab and plus sign", "0X1d\t=\t+06", {{29, 6}}, no_exit, ""},
      {"text behind the value", "29=6 default\n", {{29, 6}}, no_exit, ""},
      {"a second equals sign", "29=6=7\n", {{29, 6}}, no_exit, ""},
      {"the line further down wins", "29=5\n30=1\n29=6\n", {{29, 6}, {30, 1}}, no_exit, ""},
      {"minus zero is zero", "29=-0\n", {{29, 0}}, no_exit, ""},
      {"0x without a digit reads 0", "29=0xZ\n", {{29, 0}}, no_exit, ""},
      {"a long line is read in pieces", std::string(299, '#') + "30=1\n", {{30, 1}}, no_exit, ""},

      {"08 is octal 0", "08=1\n", {}, exit.cv_number, cv_error("08=1")},
      {"CV 257", "1=2\n257=1\n", {{1, 2}}, exit.cv_number, cv_error("257=1")},
      {"CV 0", "0=1\n", {}, exit.cv_number, cv_error("0=1")},
      {"negative CV", "-1=5\n", {}, exit.cv_number, cv_error("-1=5")},
      {"CV that wraps to 1 in 32 bits", "4294967297=5\n", {}, exit.cv_number,
       cv_error("4294967297=5")},
      {"negative CV that wraps to 1", "-4294967295=5\n", {}, exit.cv_number,
       cv_error("-4294967295=5")},
      {"both sides wrong: the CV is told", "0=300\n", {}, exit.cv_number, cv_error("0=300")},
      {"value 256", "29=256\n", {}, exit.cv_value, value_error("29=256")},
      {"negative value", "29=-1\r\n", {}, exit.cv_value, value_error("29=-1")},
      {"value that wraps to 6", "29=4294967302\n", {}, exit.cv_value, value_error("29=4294967302")},
      {"hexadecimal value that wraps to 6", "29=0x100000006\n", {}, exit.cv_value,
       value_error("29=0x100000006")},

      {"CV written as a word", "1=2\nCV29=6\n", {{1, 2}}, exit.cv_missing_number,
       missing_error("CV29=6")},
      {"no value", "29=\n", {}, exit.cv_missing_number, missing_error("29=")},
      {"no CV", "=5\n", {}, exit.cv_missing_number, missing_error("=5")},
      {"value not a number", "29=x\n", {}, exit.cv_missing_number, missing_error("29=x")},
      {"a sign alone", "29=- 6\n", {}, exit.cv_missing_number, missing_error("29=- 6")},
      {"no earlier number stands in", "29=6\n30=\n", {{29, 6}}, exit.cv_missing_number,
       missing_error("30=")},
      {"no CV and a bad value: the CV is told", "x=300\n", {}, exit.cv_missing_number,
       missing_error("x=300")},
      {"bad CV and no value: the CV is told", "0=x\n", {}, exit.cv_number, cv_error("0=x")},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    testing::ScratchDir dir;
    dir.write("cv.txt", c.content);
    Outcome outcome = read_cv_file("cv.txt");
    EXPECT_EQ(outcome.code, c.code);
    EXPECT_EQ(outcome.out, c.out);
    EXPECT_EQ(outcome.err, "");
    EXPECT_EQ(outcome.cv_page, page_with(c.cvs));
    EXPECT_TRUE(outcome.rest_of_buffer_ff);
    EXPECT_EQ(outcome.file_closed, c.code == no_exit);
  }
}

}  // namespace
}  // namespace zirpton
