#include "platform/fakes/line_log.h"

#include <cstdio>

namespace zirpton::fakes {

std::string hex_bytes(const std::vector<uint8_t>& bytes) {
  std::string text;
  char cell[4];
  for (uint8_t byte : bytes) {
    std::snprintf(cell, sizeof cell, "%02X", byte);
    if (!text.empty()) text += ' ';
    text += cell;
  }
  return text;
}

std::string describe(const LineSettings& s) {
  const char parity = s.parity == no_parity ? 'N' : s.parity == 1 ? 'O' : 'E';
  const char* stop = s.stop_bits == StopBits::two ? "2" : s.stop_bits == StopBits::one ? "1" : "1.5";
  return std::to_string(s.baud) + " " + std::to_string(s.data_bits) + parity + stop +
         " cts=" + (s.cts_flow ? "1" : "0") + " dtr=" + (s.dtr ? "1" : "0") +
         " rts=" + (s.rts ? "1" : "0");
}

std::vector<uint8_t> LineLog::bytes() const {
  std::vector<uint8_t> all;
  for (const auto& event : events)
    if (event.kind == LineEvent::write && !event.failed)
      all.insert(all.end(), event.bytes.begin(), event.bytes.end());
  return all;
}

std::string LineLog::transcript(bool with_reads) const {
  std::string text;
  std::vector<uint8_t> run;
  auto flush_run = [&] {
    if (!run.empty()) text += "send " + hex_bytes(run) + "\n";
    run.clear();
  };
  for (const auto& event : events) {
    switch (event.kind) {
      case LineEvent::write:
        if (event.failed) {
          flush_run();
          text += "failed " + hex_bytes(event.bytes) + "\n";
        } else {
          run.insert(run.end(), event.bytes.begin(), event.bytes.end());
        }
        break;
      case LineEvent::read_settings:
        if (!with_reads) break;
        flush_run();
        text += "get\n";
        break;
      case LineEvent::write_settings:
        flush_run();
        text += "set " + describe(event.settings) + "\n";
        break;
      case LineEvent::pause:
        flush_run();
        text += "pause " + std::to_string(event.ms) + "\n";
        break;
    }
  }
  flush_run();
  return text;
}

bool RecordingPort::read_settings(LineSettings& settings) {
  log_.events.push_back({LineEvent::read_settings, current_, {}, 0, false});
  if (!terminal_) return false;
  settings = current_;
  return true;
}

bool RecordingPort::write_settings(const LineSettings& settings) {
  log_.events.push_back({LineEvent::write_settings, settings, {}, 0, false});
  if (!terminal_) return false;
  current_ = settings;
  return true;
}

long RecordingPort::write(const uint8_t* data, size_t count) {
  bool fails = failing_writes.count(++writes_) != 0;
  log_.events.push_back({LineEvent::write, current_, {data, data + count}, 0, fails});
  return fails ? error : 0;
}

PortOpenResult FakePortOpener::open(int port_number) {
  opened.push_back(port_number);
  if (open_error != 0) return {nullptr, open_error};
  auto fake = std::make_unique<RecordingPort>(log_, reported, terminal);
  fake->failing_writes = failing_writes;
  fake->error = write_error;
  port = fake.get();
  return {std::move(fake), 0};
}

void VirtualClock::sleep_ms(uint32_t ms) {
  now_ms += ms;
  if (log_) log_->events.push_back({LineEvent::pause, {}, {}, ms, false});
}

}  // namespace zirpton::fakes
