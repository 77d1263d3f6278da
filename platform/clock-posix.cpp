#include <time.h>

#include <cerrno>

#include "platform/clock.h"

namespace zirpton {
namespace {

class PosixClock : public Clock {
 public:
  void sleep_ms(uint32_t ms) override {
    timespec left{static_cast<time_t>(ms / 1000), static_cast<long>(ms % 1000) * 1000000L};
    while (nanosleep(&left, &left) != 0 && errno == EINTR) {
    }
  }
};

}  // namespace

Clock& system_clock() {
  static PosixClock clock;
  return clock;
}

}  // namespace zirpton
