// The serial line to the receiver, as the run sees it: a port that is opened by
// number, whose line settings are read, changed and written back as one record
// (the way the Windows comm configuration works), and that takes bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace zirpton {

// Values as the Windows DCB spells them, so both platforms share one meaning.
enum class StopBits : uint8_t { one = 0, one_and_half = 1, two = 2 };
constexpr uint8_t no_parity = 0;

struct LineSettings {
  uint32_t baud = 0;
  uint8_t data_bits = 0;
  uint8_t parity = no_parity;
  StopBits stop_bits = StopBits::one;
  bool cts_flow = false;
  bool dtr = false;  // DTR asserted
  bool rts = false;  // RTS asserted
  bool operator==(const LineSettings&) const = default;
};

class SerialPort {
 public:
  virtual ~SerialPort() = default;
  // Fill `settings` from the port; false (and `settings` untouched) when the
  // device has no line settings, such as a regular file.
  virtual bool read_settings(LineSettings& settings) = 0;
  virtual bool write_settings(const LineSettings& settings) = 0;
  // 0 when every byte was taken, else the system error number.
  virtual long write(const uint8_t* data, size_t count) = 0;
  // Wait until the written bytes have left the port, bounded by what they
  // need on the wire, so that a following pause is silence on the line.
  virtual void drain() = 0;
};

struct PortOpenResult {
  std::unique_ptr<SerialPort> port;  // null on failure
  long error = 0;                    // system error number on failure
};

class PortOpener {
 public:
  virtual ~PortOpener() = default;
  virtual PortOpenResult open(int port_number) = 0;
};

// The name a port number has in messages: "COM3".
std::string port_device_name(int port_number);

}  // namespace zirpton
