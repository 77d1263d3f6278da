// Serial ports on Windows: COMn is opened as \\.\COMn, the only form that
// also reaches COM10 and above, exclusively; the line settings go through the
// port's comm configuration, read, changed and written back as one record.
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <thread>

#include "platform/comm_config-win32.h"
#include "platform/serial_port.h"

namespace zirpton {
namespace {

// Bits one byte takes on the wire: start bit, data, parity, stop bits (one
// and a half counted as two).
uint32_t bits_per_byte(const DCB& dcb) {
  return 1u + dcb.ByteSize + (dcb.Parity != NOPARITY ? 1u : 0u) +
         (dcb.StopBits == ONESTOPBIT ? 1u : 2u);
}

class Win32SerialPort : public SerialPort {
 public:
  explicit Win32SerialPort(HANDLE handle) : handle_(handle) {}
  ~Win32SerialPort() override { CloseHandle(handle_); }

  bool read_settings(LineSettings& settings) override {
    if (!record_.read(handle_)) return false;
    settings = settings_from_dcb(record_.dcb());
    return true;
  }

  bool write_settings(const LineSettings& settings) override {
    put_settings(record_.dcb(), settings);
    return record_.write(handle_);
  }

  // A write that times out with nothing taken would lose bytes silently; it
  // is reported like any failed write.
  long write(const uint8_t* data, size_t count) override {
    if (unsent_ == 0) first_unsent_ = Clock::now();
    while (count > 0) {
      DWORD chunk = count > 0x10000 ? 0x10000 : static_cast<DWORD>(count);
      DWORD done = 0;
      if (!WriteFile(handle_, data, chunk, &done, nullptr)) return static_cast<long>(GetLastError());
      if (done == 0) return ERROR_COUNTER_TIMEOUT;
      data += done;
      count -= done;
      unsent_ += done;
    }
    return 0;
  }

  // The driver's queue empties before the UART's FIFO and a USB adapter's
  // buffer do, so the wait also lasts until the bytes can have crossed the
  // wire since the first of them was written. Some adapters never report an
  // empty queue: the wait is bounded by that time plus a margin.
  void drain() override {
    const DCB& dcb = record_.dcb();
    uint64_t baud = dcb.BaudRate ? dcb.BaudRate : 9600;
    const auto on_the_wire =
        first_unsent_ + std::chrono::microseconds(unsent_ * bits_per_byte(dcb) * 1000000 / baud);
    const auto bound = on_the_wire + std::chrono::milliseconds(200);
    unsent_ = 0;
    DWORD errors = 0;
    COMSTAT status{};
    if (!ClearCommError(handle_, &errors, &status)) return;  // no line: a file
    while (status.cbOutQue > 0 && Clock::now() < bound) {
      Sleep(1);
      if (!ClearCommError(handle_, &errors, &status)) break;
    }
    if (Clock::now() < on_the_wire) std::this_thread::sleep_until(on_the_wire);
  }

 private:
  using Clock = std::chrono::steady_clock;
  HANDLE handle_;
  CommConfigRecord record_;
  uint64_t unsent_ = 0;
  Clock::time_point first_unsent_;
};

// Writes block until every byte is taken: time-outs left on the port by an
// earlier program would cut writes short.
void set_blocking_writes(HANDLE handle) {
  COMMTIMEOUTS timeouts{};
  timeouts.ReadIntervalTimeout = MAXDWORD;  // the port is never read
  SetCommTimeouts(handle, &timeouts);
}

class Win32PortOpener : public PortOpener {
 public:
  PortOpenResult open(int port_number) override {
    char name[32];
    std::snprintf(name, sizeof name, "\\\\.\\COM%d", port_number);
    HANDLE handle = CreateFileA(name, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return {nullptr, static_cast<long>(GetLastError())};
    set_blocking_writes(handle);
    return {std::make_unique<Win32SerialPort>(handle), 0};
  }
};

}  // namespace

PortOpener& system_port_opener() {
  static Win32PortOpener opener;
  return opener;
}

}  // namespace zirpton
