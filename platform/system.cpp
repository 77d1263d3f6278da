#include "platform/platform.h"

namespace zirpton {

Platform& system_platform() {
  static Platform platform{system_console(), system_clock(), system_port_opener()};
  return platform;
}

}  // namespace zirpton
