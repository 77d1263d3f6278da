// Serial ports on POSIX: COMn is the device named by ZIRPTON_COMn, else
// /dev/ttyS(n-1). Opened without becoming the controlling terminal, locked
// with flock and TIOCEXCL so that a second run can't share it; the line
// settings map onto termios and the modem-control ioctls.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <thread>
#include <cstdlib>

#include "platform/serial_port.h"

namespace zirpton {
namespace {

struct SpeedEntry {
  uint32_t baud;
  speed_t speed;
};

constexpr SpeedEntry speeds[] = {
    {1200, B1200},   {2400, B2400},   {4800, B4800},   {9600, B9600},
    {19200, B19200}, {38400, B38400}, {57600, B57600}, {115200, B115200},
};

speed_t speed_for(uint32_t baud) {
  for (const auto& entry : speeds)
    if (entry.baud == baud) return entry.speed;
  return B0;
}

uint32_t baud_for(speed_t speed) {
  for (const auto& entry : speeds)
    if (entry.speed == speed) return entry.baud;
  return 0;
}

void sleep_one_ms() {
  timespec step{0, 1000000};
  nanosleep(&step, nullptr);
}

class PosixSerialPort : public SerialPort {
 public:
  explicit PosixSerialPort(int fd) : fd_(fd) {}
  // The exclusive mode outlives the descriptor on the device: give it back.
  ~PosixSerialPort() override {
    if (isatty(fd_)) ioctl(fd_, TIOCNXCL);
    close(fd_);
  }

  bool read_settings(LineSettings& settings) override {
    termios tio{};
    if (tcgetattr(fd_, &tio) != 0) return false;
    settings.baud = baud_for(cfgetospeed(&tio));
    switch (tio.c_cflag & CSIZE) {
      case CS5: settings.data_bits = 5; break;
      case CS6: settings.data_bits = 6; break;
      case CS7: settings.data_bits = 7; break;
      default: settings.data_bits = 8; break;
    }
    settings.parity = (tio.c_cflag & PARENB) ? ((tio.c_cflag & PARODD) ? 1 : 2) : no_parity;
    settings.stop_bits = (tio.c_cflag & CSTOPB) ? StopBits::two : StopBits::one;
    settings.cts_flow = (tio.c_cflag & CRTSCTS) != 0;
    int lines = 0;
    if (ioctl(fd_, TIOCMGET, &lines) == 0) {
      settings.dtr = (lines & TIOCM_DTR) != 0;
      settings.rts = (lines & TIOCM_RTS) != 0;
    }
    return true;
  }

  bool write_settings(const LineSettings& settings) override {
    termios tio{};
    if (tcgetattr(fd_, &tio) != 0) return false;
    cfmakeraw(&tio);
    tio.c_cflag |= CLOCAL | CREAD;
    tio.c_cflag &= ~(CSIZE | PARENB | PARODD | CSTOPB | CRTSCTS);
    tio.c_cflag |= settings.data_bits == 7 ? CS7 : settings.data_bits == 6 ? CS6
                   : settings.data_bits == 5 ? CS5 : CS8;
    if (settings.parity != no_parity) tio.c_cflag |= PARENB | (settings.parity == 1 ? PARODD : 0);
    if (settings.stop_bits == StopBits::two) tio.c_cflag |= CSTOPB;
    if (settings.cts_flow) tio.c_cflag |= CRTSCTS;
    if (speed_t speed = speed_for(settings.baud); speed != B0) {
      cfsetispeed(&tio, speed);
      cfsetospeed(&tio, speed);
      baud_ = settings.baud;
    }
    bits_per_byte_ = 1 + (settings.data_bits ? settings.data_bits : 8) +
                     (settings.parity != no_parity ? 1 : 0) +
                     (settings.stop_bits == StopBits::two ? 2 : 1);
    bool ok = tcsetattr(fd_, TCSANOW, &tio) == 0;
    // Both modem lines in one call: the receiver never sees a state between.
    int lines = 0;
    if (ioctl(fd_, TIOCMGET, &lines) == 0) {
      lines = settings.dtr ? (lines | TIOCM_DTR) : (lines & ~TIOCM_DTR);
      lines = settings.rts ? (lines | TIOCM_RTS) : (lines & ~TIOCM_RTS);
      ok = ioctl(fd_, TIOCMSET, &lines) == 0 && ok;
    }
    return ok;
  }

  long write(const uint8_t* data, size_t count) override {
    if (unsent_ == 0) first_unsent_ = Clock::now();
    while (count > 0) {
      ssize_t done = ::write(fd_, data, count);
      if (done < 0) {
        if (errno == EINTR) continue;
        return errno;
      }
      data += done;
      count -= static_cast<size_t>(done);
      unsent_ += static_cast<size_t>(done);
    }
    return 0;
  }

  // The driver's queue empties before the UART's FIFO and a USB adapter's
  // buffer do, so the wait also lasts until the bytes can have crossed the
  // wire since the first of them was written. Some adapters never report an
  // empty queue: the wait is bounded by that time plus a margin.
  void drain() override {
    const auto wire = std::chrono::microseconds(unsent_ * bits_per_byte_ * 1000000 /
                                                (baud_ ? baud_ : 9600));
    const auto on_the_wire = first_unsent_ + wire;
    const auto bound = on_the_wire + std::chrono::milliseconds(200);
    unsent_ = 0;
    int queued = 0;
    if (ioctl(fd_, TIOCOUTQ, &queued) != 0) return;  // no line: a file or a pipe
    while (queued > 0 && Clock::now() < bound) {
      sleep_one_ms();
      if (ioctl(fd_, TIOCOUTQ, &queued) != 0) break;
    }
    if (Clock::now() < on_the_wire) std::this_thread::sleep_until(on_the_wire);
  }

 private:
  using Clock = std::chrono::steady_clock;
  int fd_;
  uint32_t baud_ = 9600;
  uint64_t bits_per_byte_ = 10;
  uint64_t unsent_ = 0;
  Clock::time_point first_unsent_;
};

std::string device_path(int port_number) {
  std::string var = "ZIRPTON_COM" + std::to_string(port_number);
  if (const char* path = std::getenv(var.c_str())) return path;
  if (port_number >= 1) return "/dev/ttyS" + std::to_string(port_number - 1);
  return {};
}

class PosixPortOpener : public PortOpener {
 public:
  PortOpenResult open(int port_number) override {
    std::string path = port_number >= 0 ? device_path(port_number) : std::string();
    if (path.empty()) return {nullptr, ENOENT};
    int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return {nullptr, errno};
    if (flock(fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK) {
      long error = errno;
      ::close(fd);
      return {nullptr, error};
    }
    if (isatty(fd) && ioctl(fd, TIOCEXCL) != 0) {
      long error = errno;
      ::close(fd);
      return {nullptr, error};
    }
    // Non-blocking was only for the open itself (no wait for carrier).
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    return {std::make_unique<PosixSerialPort>(fd), 0};
  }
};

}  // namespace

PortOpener& system_port_opener() {
  static PosixPortOpener opener;
  return opener;
}

}  // namespace zirpton
