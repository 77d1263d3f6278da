#pragma once

namespace zirpton {

struct PortArgument {
  int reset_mode;  // 0 for "r", 2 for "x", 1 for anything else
  int port_number;
};

// The first argument: an optional small "r" or "x", then the port number
// read as atoi reads it (white space, one sign, digits; no digits give 0).
PortArgument parse_port_argument(const char* argument);

}  // namespace zirpton
