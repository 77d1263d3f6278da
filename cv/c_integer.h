// Numbers in the CV default file are written the way C reads an integer with
// "%i": decimal, octal with a leading 0, hexadecimal with 0x.
#pragma once

#include <cstdint>
#include <string_view>

namespace zirpton {

struct ScannedInteger {
  bool found = false;  // a number stood there (after white space and a sign)
  // The number as a 32-bit integer read as unsigned, so a negative one is
  // large. A number that no 32-bit integer holds reads as 0xFFFFFFFF, the
  // largest value, instead of wrapping round to a small one.
  uint32_t value = 0;
};

// Reads the number at the start of `text`: white space, one sign, then the
// digits of its base; reading stops at the first character that does not fit.
// "0x" without a hexadecimal digit behind it is read as the number 0.
ScannedInteger scan_c_integer(std::string_view text);

}  // namespace zirpton
