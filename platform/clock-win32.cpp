#include <windows.h>

#include "platform/clock.h"

namespace zirpton {
namespace {

class Win32Clock : public Clock {
 public:
  void sleep_ms(uint32_t ms) override { Sleep(ms); }
};

}  // namespace

Clock& system_clock() {
  static Win32Clock clock;
  return clock;
}

}  // namespace zirpton
