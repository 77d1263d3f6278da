#include "driver/command_line.h"

#include <gtest/gtest.h>

namespace zirpton {
namespace {

TEST(PortArgument, ReadsPrefixAndNumberAsAtoiDoes) {
  struct Case {
    const char* argument;
    int reset_mode;
    int port_number;
  } cases[] = {
      {"r3", 0, 3},  {"x3", 2, 3},     {"3", 1, 3},       {"R3", 1, 0},
      {"COM3", 1, 0}, {" 7", 1, 7},    {"+4", 1, 4},      {"-2", 1, -2},
      {"r", 0, 0},   {"x12abc", 2, 12}, {"r 7", 0, 7},    {"", 1, 0},
      {"99999999999", 1, 2147483647},  {"-99999999999", 1, -2147483647 - 1},
  };
  for (const auto& c : cases) {
    PortArgument parsed = parse_port_argument(c.argument);
    EXPECT_EQ(parsed.reset_mode, c.reset_mode) << c.argument;
    EXPECT_EQ(parsed.port_number, c.port_number) << c.argument;
  }
}

}  // namespace
}  // namespace zirpton
