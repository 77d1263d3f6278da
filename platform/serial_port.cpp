#include "platform/serial_port.h"

namespace zirpton {

std::string port_device_name(int port_number) {
  return "COM" + std::to_string(port_number);
}

}  // namespace zirpton
