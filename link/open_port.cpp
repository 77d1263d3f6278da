#include "link/open_port.h"

#include "driver/fatal_exit.h"
#include "driver/messages.h"

namespace zirpton {
namespace {

constexpr uint8_t handshake[] = {0x24, 0x80, 0x11, 0x17, 0x04};

// The receiver listens at 57600 baud for the handshake frame, whose last
// byte is the XOR of the five before it; the stream then runs at 38400.
void send_handshake(ByteChannel& channel) {
  channel.configure_line(57600, true);
  for (uint8_t byte : handshake) channel.send_framed(byte);
  channel.send_framed(channel.frame_xor);
  channel.pause(10);
  channel.configure_line(38400, true);
}

}  // namespace

void open_port(Run& run, int port_number) {
  std::string name = port_device_name(port_number);
  PortOpenResult opened = run.platform.ports.open(port_number);
  if (!opened.port) {
    say(run.console, Stream::err, "Open %s: Error %ld\n", name.c_str(), opened.error);
    fatal_exit(run, run.release.exit.port_open);
  }
  run.channel.attach(std::move(opened.port));
  if (run.release.port_setup == PortSetup::handshake)
    send_handshake(run.channel);
  else
    run.channel.configure_line(38400, false);  // the oldest receivers: RTS not asserted
}

}  // namespace zirpton
