// The real program on a real terminal device: a pseudo-terminal stands in
// for the USB-serial adapter, and the test reads the line from the master.
#include <gtest/gtest.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include "tests/support/example_project.h"
#include "tests/support/expected_stream.h"
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

// The image pages and the checksum carried by a port run: the framing of
// page pairs taken away, the handshake and the 13 entry bytes skipped.
Bytes strip_framing(const std::string& line) {
  Bytes image;
  size_t at = 6 + 13;
  while (at < line.size() && static_cast<uint8_t>(line[at]) == 0x76) {
    EXPECT_EQ(line.substr(at, 4), "\x76\xFF\xFF\x23");
    image.insert(image.end(), line.begin() + static_cast<long>(at + 4),
                 line.begin() + static_cast<long>(at + 4 + 2 * page));
    EXPECT_EQ(line.substr(at + 4 + 2 * page, 96), std::string(96, '\xFF'));
    at += 4 + 2 * page + 96;
  }
  EXPECT_EQ(line.size(), at + 3);
  EXPECT_EQ(line[at], '\x33');
  image.insert(image.end(), line.begin() + static_cast<long>(at + 1), line.end());
  return image;
}

TEST(SerialPty, APortRunSendsTheStreamOfTheFakePortRunAndTheImageOfTheFileRun) {
  ScratchDir dir;
  write_example_project(dir);
  fakes::FakeMachine machine;
  ASSERT_EQ(run_in_process(release_7_0(), machine, {"r1", "list.txt", "cv.txt"}).code, 0);
  Bytes expected = machine.log.bytes();

  int master = -1, slave = -1;
  char name[256];
  ASSERT_EQ(openpty(&master, &slave, name, nullptr, nullptr), 0);
  StartedProgram started =
      start_program_file("zirpton", {"r1", "list.txt", "cv.txt"}, {{"ZIRPTON_COM1", name}}, dir.path());
  std::string line;
  ProcessResult result{};
  bool ended = false;
  while (!ended) {
    line += drain_master(master);
    ended = program_ended(started, result);
  }
  line += drain_master(master);
  close(slave);
  close(master);
  EXPECT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(Bytes(line.begin(), line.end()), expected);

  dir.write("port", "");
  ProcessResult file_run = run_program_file("zirpton", {"r1", "list.txt", "cv.txt", "image.bin"},
                                            {{"ZIRPTON_COM1", (dir.path() / "port").string()}},
                                            dir.path());
  ASSERT_EQ(file_run.status, 0);
  std::string file = dir.read("image.bin");
  Bytes carried = strip_framing(line);
  // A completing zero page may stand between the last image page and the sum.
  ASSERT_GE(carried.size(), file.size());
  size_t zero_page = carried.size() - file.size();
  EXPECT_TRUE(zero_page == 0 || zero_page == page);
  Bytes without_zero_page(carried.begin(), carried.end() - static_cast<long>(zero_page + 2));
  without_zero_page.insert(without_zero_page.end(), carried.end() - 2, carried.end());
  EXPECT_EQ(without_zero_page, Bytes(file.begin(), file.end()));
}

}  // namespace
}  // namespace zirpton::testing
