// The real program on a real terminal device: a pseudo-terminal stands in
// for the USB-serial adapter, and the test reads the line from the master.
#include <gtest/gtest.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include "tests/support/harness.h"
#include "tests/support/process.h"

namespace zirpton::testing {
namespace {

std::string drain_master(int master) {
  std::string bytes;
  char buffer[4096];
  pollfd ready{master, POLLIN, 0};
  while (poll(&ready, 1, 200) > 0 && (ready.revents & POLLIN)) {
    ssize_t got = read(master, buffer, sizeof buffer);
    if (got <= 0) break;
    bytes.append(buffer, static_cast<size_t>(got));
  }
  return bytes;
}

TEST(SerialPty, HandshakeArrivesAndTheLineIsRaw8N1WithoutFlowControl) {
  int master = -1, slave = -1;
  char name[256];
  ASSERT_EQ(openpty(&master, &slave, name, nullptr, nullptr), 0);
  ScratchDir dir;
  ProcessResult result = run_program_file("zirpton", {"1", "list.txt", "cv.txt"},
                                          {{"ZIRPTON_COM1", name}}, dir.path());
  EXPECT_EQ(result.status, 2);
  EXPECT_EQ(result.err, "cv.txt: No such file or directory\n");
  EXPECT_EQ(drain_master(master), std::string("\x24\x80\x11\x17\x04\xA6", 6));

  termios tio{};
  ASSERT_EQ(tcgetattr(slave, &tio), 0);
  EXPECT_EQ(cfgetospeed(&tio), B38400);
  EXPECT_EQ(tio.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
  EXPECT_EQ(tio.c_cflag & (PARENB | CSTOPB | CRTSCTS), 0u);
  EXPECT_EQ(tio.c_lflag & (ICANON | ECHO | ISIG), 0u);
  EXPECT_EQ(tio.c_oflag & OPOST, 0u);
  EXPECT_EQ(tio.c_iflag & (IXON | IXOFF | ICRNL), 0u);
  close(slave);
  close(master);
}

}  // namespace
}  // namespace zirpton::testing
