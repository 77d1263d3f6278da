// The POSIX console: UTF-8 when the locale says so, else code page 850 bytes;
// the key wait reads one byte without echo, and only from a terminal.
#include <langinfo.h>
#include <termios.h>
#include <unistd.h>

#include <cctype>
#include <clocale>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/stdio_console.h"

namespace zirpton {
namespace {

// The locale named in the environment, as setlocale reads it.
const char* locale_name() {
  for (const char* name : {"LC_ALL", "LC_CTYPE", "LANG"})
    if (const char* value = std::getenv(name); value && *value) return value;
  return "";
}

bool names_utf8(const char* name) {
  std::string lower;
  for (const char* c = name; *c; ++c) lower += static_cast<char>(std::tolower(*c));
  return lower.find("utf-8") != std::string::npos || lower.find("utf8") != std::string::npos;
}

// A locale that is named but not installed still means a UTF-8 terminal
// when its name says so.
bool locale_is_utf8() {
  std::string saved = std::setlocale(LC_CTYPE, nullptr);
  if (!std::setlocale(LC_CTYPE, "")) return names_utf8(locale_name());
  bool utf8 = std::strcmp(nl_langinfo(CODESET), "UTF-8") == 0;
  std::setlocale(LC_CTYPE, saved.c_str());
  return utf8;
}

class PosixConsole : public StdioConsole {
 public:
  // Output into a pipe that was closed must fail like a write, not end the
  // program in the middle of a stream without a word.
  PosixConsole() { std::signal(SIGPIPE, SIG_IGN); }

  bool utf8() override { return utf8_; }
  void wait_key() override {
    flush();
    if (!isatty(STDIN_FILENO)) return;
    termios saved{};
    if (tcgetattr(STDIN_FILENO, &saved) != 0) return;
    termios raw = saved;
    raw.c_lflag &= ~static_cast<tcflag_t>(ICANON | ECHO);
    raw.c_cc[VMIN] = 1;
    raw.c_cc[VTIME] = 0;
    tcsetattr(STDIN_FILENO, TCSANOW, &raw);
    char key;
    ssize_t ignored = read(STDIN_FILENO, &key, 1);
    (void)ignored;
    tcsetattr(STDIN_FILENO, TCSANOW, &saved);
  }

 private:
  bool utf8_ = locale_is_utf8();
};

}  // namespace

Console& system_console() {
  static PosixConsole console;
  return console;
}

}  // namespace zirpton
