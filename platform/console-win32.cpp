// The Windows console: UTF-8 when its output code page is 65001, else the
// code page 850 bytes of its OEM code page; the key wait reads one key
// without echo, and only from a console.
#include <windows.h>
#include <conio.h>

#include <cstdio>
#include <cstdlib>

#include "platform/stdio_console.h"

namespace zirpton {
namespace {

class Win32Console : public StdioConsole {
 public:
  bool utf8() override { return utf8_; }
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
