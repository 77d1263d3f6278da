// Test doubles for the platform: a serial port that records every operation,
// a virtual clock whose pauses land in the same record, and a console that
// captures both streams. A whole run goes against these in-process.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace zirpton::fakes {

struct LineEvent {
  enum Kind { read_settings, write_settings, write, pause } kind;
  LineSettings settings;       // written settings, or those in force for a write
  std::vector<uint8_t> bytes;  // write only
  uint32_t ms = 0;             // pause only
  bool failed = false;         // a write that was made to fail
};

// Everything that happened on the line, in order.
struct LineLog {
  std::vector<LineEvent> events;

  // All bytes that reached the line (failed writes left out).
  std::vector<uint8_t> bytes() const;
  // A readable, complete account: one line per setting change, run of bytes
  // and pause, e.g. "set 57600 8N1 cts=0 dtr=0 rts=1", "send 24 80 11",
  // "pause 10". Reads of the settings show as "get"; consecutive writes
  // under the same settings are joined into one "send" line.
  std::string transcript(bool with_reads = true) const;
};

std::string describe(const LineSettings& settings);
std::string hex_bytes(const std::vector<uint8_t>& bytes);

class RecordingPort : public SerialPort {
 public:
  RecordingPort(LineLog& log, LineSettings reported, bool terminal)
      : log_(log), current_(reported), terminal_(terminal) {}
  bool read_settings(LineSettings& settings) override;
  bool write_settings(const LineSettings& settings) override;
  long write(const uint8_t* data, size_t count) override;
  void drain() override {}

  // Write calls (counted from 1) that fail with `error`.
  std::set<int> failing_writes;
  long error = 0;

 private:
  LineLog& log_;
  LineSettings current_;
  bool terminal_;
  int writes_ = 0;
};

class FakePortOpener : public PortOpener {
 public:
  explicit FakePortOpener(LineLog& log) : log_(log) {}
  PortOpenResult open(int port_number) override;

  // What the fake port reports before the run changes anything.
  LineSettings reported{9600, 7, 2, StopBits::two, true, true, false};
  bool terminal = true;
  long open_error = 0;  // nonzero: opening fails with this number
  std::set<int> failing_writes;
  long write_error = 0;
  std::vector<int> opened;  // port numbers asked for
  RecordingPort* port = nullptr;

 private:
  LineLog& log_;
};

class VirtualClock : public Clock {
 public:
  explicit VirtualClock(LineLog* log = nullptr) : log_(log) {}
  void sleep_ms(uint32_t ms) override;
  uint64_t now_ms = 0;

 private:
  LineLog* log_;
};

class FakeConsole : public Console {
 public:
  bool env_present(const char* name) override { return env.count(name) != 0; }
  bool utf8() override { return is_utf8; }
  void write(Stream stream, std::string_view bytes) override {
    (stream == Stream::out ? out : err).append(bytes);
  }
  void flush() override {}
  void wait_key() override { ++key_waits; }

  std::set<std::string> env;
  bool is_utf8 = false;
  std::string out, err;
  int key_waits = 0;
};

// One fake machine: console, clock and ports sharing one line log.
struct FakeMachine {
  LineLog log;
  FakeConsole console;
  VirtualClock clock{&log};
  FakePortOpener ports{log};
  Platform platform{console, clock, ports};
};

}  // namespace zirpton::fakes
