// The Windows console: UTF-8 when its output code page is 65001, else the
// code page 850 bytes of its OEM code page; the key wait reads one key
// without echo, and only from a console.
#include <windows.h>
#include <conio.h>

#include <cstdio>
#include <cstdlib>

#include "platform/console.h"

namespace zirpton {
namespace {

class Win32Console : public Console {
 public:
  bool env_present(const char* name) override { return std::getenv(name) != nullptr; }
  bool utf8() override { return utf8_; }
  // What went to standard output before comes first on the screen, as on a
  // console where both streams are one.
  void write(Stream stream, std::string_view bytes) override {
    if (stream == Stream::err) std::fflush(stdout);
    std::fwrite(bytes.data(), 1, bytes.size(), stream == Stream::out ? stdout : stderr);
  }
  void flush() override {
    std::fflush(stdout);
    std::fflush(stderr);
  }
  void wait_key() override {
    flush();
    DWORD mode = 0;
    if (!GetConsoleMode(GetStdHandle(STD_INPUT_HANDLE), &mode)) return;
    _getch();
  }

 private:
  bool utf8_ = GetConsoleOutputCP() == CP_UTF8;
};

}  // namespace

Console& system_console() {
  static Win32Console console;
  return console;
}

}  // namespace zirpton
