#include "driver/messages.h"

#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstring>

namespace zirpton {
namespace {

struct Letter {
  const char* utf8;
  char cp850;
};

constexpr Letter letters[] = {
    {"ä", '\x84'}, {"ö", '\x94'}, {"ü", '\x81'}, {"ß", '\xE1'},
    {"Ä", '\x8E'}, {"Ö", '\x99'}, {"Ü", '\x9A'},
};

std::string vformat(const char* format, va_list args) {
  va_list copy;
  va_copy(copy, args);
  int size = std::vsnprintf(nullptr, 0, format, copy);
  va_end(copy);
  std::string text(size > 0 ? static_cast<size_t>(size) : 0, '\0');
  if (size > 0) std::vsnprintf(text.data(), text.size() + 1, format, args);
  return text;
}

}  // namespace

std::string to_code_page_850(const char* utf8) {
  std::string out;
  for (const char* p = utf8; *p;) {
    bool mapped = false;
    for (const auto& letter : letters) {
      size_t n = std::strlen(letter.utf8);
      if (std::strncmp(p, letter.utf8, n) == 0) {
        out += letter.cp850;
        p += n;
        mapped = true;
        break;
      }
    }
    if (!mapped) out += *p++;
  }
  return out;
}

void say(Console& console, Stream stream, const char* format, ...) {
  std::string fixed = console.utf8() ? std::string(format) : to_code_page_850(format);
  va_list args;
  va_start(args, format);
  std::string text = vformat(fixed.c_str(), args);
  va_end(args);
  console.write(stream, text);
}

void report_system_error(Console& console, const char* name) {
  const char* text = std::strerror(errno);
  std::string line = std::string(name) + ": " + text + "\n";
  console.write(Stream::err, line);
}

}  // namespace zirpton
