#include "driver/fatal_exit.h"

namespace zirpton {
namespace {

[[noreturn]] void end_run(Run& run, FatalEnd end, int code) {
  run.console.flush();
  switch (end) {
    case FatalEnd::wait_key: run.console.wait_key(); break;
    case FatalEnd::pause_3000: run.platform.clock.sleep_ms(3000); break;
    case FatalEnd::at_once: break;
  }
  throw FatalExit{code};
}

}  // namespace

void fatal_exit(Run& run, int code) { end_run(run, run.release.fatal_end, code); }

void usage_exit(Run& run) { end_run(run, run.release.usage_end, run.release.exit.usage); }

}  // namespace zirpton
