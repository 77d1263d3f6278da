#include "driver/command_line.h"

#include <climits>
#include <cstdint>

namespace zirpton {
namespace {

bool is_space(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

}  // namespace

int read_decimal(const char* text) {
  while (is_space(*text)) ++text;
  bool negative = *text == '-';
  if (*text == '-' || *text == '+') ++text;
  int64_t value = 0;
  for (; *text >= '0' && *text <= '9'; ++text) {
    value = value * 10 + (*text - '0');
    if (value > int64_t{INT_MAX} + 1) value = int64_t{INT_MAX} + 1;
  }
  if (negative) value = -value;
  if (value > INT_MAX) value = INT_MAX;
  return static_cast<int>(value);
}

PortArgument parse_port_argument(const char* argument) {
  if (argument[0] == 'r') return {0, read_decimal(argument + 1)};
  if (argument[0] == 'x') return {2, read_decimal(argument + 1)};
  return {1, read_decimal(argument)};
}

}  // namespace zirpton
