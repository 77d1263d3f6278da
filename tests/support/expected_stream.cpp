#include "tests/support/expected_stream.h"

#include <cstdio>

#include "platform/fakes/line_log.h"

namespace zirpton::testing {

uint32_t sum_of(const Bytes& bytes) {
  uint32_t sum = 0;
  for (uint8_t byte : bytes) sum += byte;
  return sum;
}

Bytes with_checksum(Bytes bytes, uint32_t sum) {
  bytes.push_back(static_cast<uint8_t>(sum));
  bytes.push_back(static_cast<uint8_t>(sum >> 8));
  return bytes;
}

std::string checksum_line(uint32_t sum) {
  char line[40];
  std::snprintf(line, sizeof line, "\nmy checksum:0x%x\n", sum);
  return line;
}

PortStream in_page_pairs(Bytes image) {
  const uint32_t sum = sum_of(image);
  if ((image.size() / page) % 2 != 0) image.insert(image.end(), page, 0x00);
  PortStream stream;
  Bytes& out = stream.bytes;
  for (size_t at = 0; at < image.size(); at += 2 * page) {
    out.insert(out.end(), {0x76, 0xFF, 0xFF, 0x23});
    out.insert(out.end(), image.begin() + static_cast<long>(at),
               image.begin() + static_cast<long>(at + 2 * page));
    if (at + 2 * page == header_end) stream.pause_at = out.size();
    out.insert(out.end(), 96, 0xFF);
  }
  out.push_back(0x33);
  out = with_checksum(out, sum);
  return stream;
}

std::string port_transcript(const PortStream& stream, const std::set<size_t>& failed) {
  std::string text;
  Bytes sent;
  auto flush = [&] {
    if (!sent.empty()) text += "send " + fakes::hex_bytes(sent) + "\n";
    sent.clear();
  };
  for (size_t i = 0; i < stream.bytes.size(); ++i) {
    if (i == stream.pause_at) {
      flush();
      text += "pause 100\n";
    }
    if (failed.count(i)) {
      flush();
      text += "failed " + fakes::hex_bytes({stream.bytes[i]}) + "\n";
    } else {
      sent.push_back(stream.bytes[i]);
    }
  }
  flush();
  text += "pause 5000\n";
  for (int i = 0; i < 10; ++i)
    text += "get\nset 38400 8N1 cts=0 dtr=0 rts=0\nget\nset 38400 8N1 cts=0 dtr=0 rts=1\n";
  return text;
}

}  // namespace zirpton::testing
