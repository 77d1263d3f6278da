#include "cv/c_integer.h"

namespace zirpton {
namespace {

constexpr uint64_t largest = 0xFFFFFFFF;

bool is_space(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// The value of `c` as a digit, or 16 when it is none.
unsigned digit_value(char c) {
  if (c >= '0' && c <= '9') return static_cast<unsigned>(c - '0');
  if (c >= 'a' && c <= 'f') return static_cast<unsigned>(c - 'a' + 10);
  if (c >= 'A' && c <= 'F') return static_cast<unsigned>(c - 'A' + 10);
  return 16;
}

bool is_digit_of(char c, unsigned base) { return digit_value(c) < base; }

}  // namespace

ScannedInteger scan_c_integer(std::string_view text) {
  size_t at = 0;
  auto here = [&](size_t ahead = 0) { return at + ahead < text.size() ? text[at + ahead] : '\0'; };

  while (is_space(here())) ++at;
  bool negative = here() == '-';
  if (here() == '-' || here() == '+') ++at;

  unsigned base = 10;
  if (here() == '0') {
    base = 8;
    if ((here(1) == 'x' || here(1) == 'X') && is_digit_of(here(2), 16)) {
      base = 16;
      at += 2;
    }
  }
  if (!is_digit_of(here(), base)) return {};

  // The magnitude stops growing once it is past 32 bits; the digits are still
  // read to the end of the number.
  uint64_t magnitude = 0;
  for (; is_digit_of(here(), base); ++at)
    if (magnitude <= largest) magnitude = magnitude * base + digit_value(here());

  if (magnitude > largest) return {true, static_cast<uint32_t>(largest)};
  if (!negative) return {true, static_cast<uint32_t>(magnitude)};
  if (magnitude > 0x80000000) return {true, static_cast<uint32_t>(largest)};
  return {true, static_cast<uint32_t>((largest + 1 - magnitude) & largest)};
}

}  // namespace zirpton
