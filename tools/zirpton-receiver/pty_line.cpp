#include "tools/zirpton-receiver/pty_line.h"

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstring>

namespace zirpton::tools {
namespace {

volatile std::sig_atomic_t stop_requested = 0;

void request_stop(int) { stop_requested = 1; }

// Without SA_RESTART, so that a signal ends the wait in poll.
void catch_stop_signals() {
  struct sigaction action {};
  action.sa_handler = request_stop;
  sigemptyset(&action.sa_mask);
  sigaction(SIGINT, &action, nullptr);
  sigaction(SIGTERM, &action, nullptr);
}

}  // namespace

int open_line(PtyLine& line) {
  char name[256];
  if (openpty(&line.master, &line.slave, name, nullptr, nullptr) != 0) return errno;
  line.slave_name = name;
  // Raw from the start: a line feed must reach the master as it was sent.
  termios tio{};
  if (tcgetattr(line.slave, &tio) == 0) {
    cfmakeraw(&tio);
    cfsetispeed(&tio, B38400);
    cfsetospeed(&tio, B38400);
    tcsetattr(line.slave, TCSANOW, &tio);
  }
  fcntl(line.master, F_SETFD, FD_CLOEXEC);
  fcntl(line.slave, F_SETFD, FD_CLOEXEC);
  return 0;
}

int link_line(PtyLine& line, const std::string& path) {
  struct stat status {};
  if (lstat(path.c_str(), &status) == 0) {
    if (!S_ISLNK(status.st_mode)) return EEXIST;
    if (unlink(path.c_str()) != 0) return errno;
  }
  if (symlink(line.slave_name.c_str(), path.c_str()) != 0) return errno;
  line.link = path;
  return 0;
}

void close_line(PtyLine& line) {
  if (!line.link.empty()) {
    char target[256];
    ssize_t size = readlink(line.link.c_str(), target, sizeof target - 1);
    if (size >= 0 && line.slave_name == std::string(target, static_cast<size_t>(size)))
      unlink(line.link.c_str());
  }
  if (line.master >= 0) close(line.master);
  if (line.slave >= 0) close(line.slave);
  line = PtyLine{};
}

void receive(PtyLine& line, double idle_seconds, StreamDecoder& decoder) {
  catch_stop_signals();
  int idle_ms = idle_seconds <= 0 ? 0 : static_cast<int>(idle_seconds * 1000 + 0.5);
  char buffer[4096];
  // After a framing error the rest is drained, so the sender can finish.
  while (decoder.state != DecodeState::done && !stop_requested) {
    pollfd ready{line.master, POLLIN, 0};
    int events = poll(&ready, 1, idle_ms);
    if (events < 0 && errno == EINTR) continue;
    if (events <= 0 || !(ready.revents & POLLIN)) break;
    ssize_t got = read(line.master, buffer, sizeof buffer);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) break;
    feed(decoder, std::string_view(buffer, static_cast<size_t>(got)));
  }
  finish(decoder);
}

}  // namespace zirpton::tools
