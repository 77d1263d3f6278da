#pragma once

namespace zirpton {

struct PortArgument {
  int reset_mode;  // 0 for "r", 2 for "x", 1 for anything else
  int port_number;
};

// The first argument: an optional small "r" or "x", then the port number
// read as atoi reads it (white space, one sign, digits; no digits give 0).
PortArgument parse_port_argument(const char* argument);

// A decimal number as atoi reads it (white space, one sign, the digits up to
// the first other character, none giving 0), saturating instead of
// overflowing.
int read_decimal(const char* text);

}  // namespace zirpton
