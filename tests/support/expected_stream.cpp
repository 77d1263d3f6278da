#include "tests/support/expected_stream.h"

#include <cstdio>

#include "platform/fakes/line_log.h"
#include "tests/support/harness.h"

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

namespace {

std::string send_line(const Bytes& bytes) { return "send " + fakes::hex_bytes(bytes) + "\n"; }

std::string page_at(const Bytes& image, size_t index) {
  return send_line(Bytes(image.begin() + static_cast<long>(index * page),
                         image.begin() + static_cast<long>((index + 1) * page)));
}

std::string end_of_run(int rts_pulses) {
  return "pause 5000\n" + repeat("get\nset 38400 8N1 cts=0 dtr=0 rts=0\n"
                                 "get\nset 38400 8N1 cts=0 dtr=0 rts=1\n",
                                 rts_pulses);
}

}  // namespace

std::string single_page_transcript(const Bytes& image, uint8_t cv_command, size_t header_pages,
                                   int rts_pulses) {
  const std::string command = "send 57\npause 1\n";
  std::string text = "pause 30\n" + send_line({cv_command}) + "pause 1\n" + page_at(image, 0) +
                     "pause 30\npause 30\n" + command + page_at(image, 1);
  for (size_t k = 0; k < header_pages; ++k) text += "pause 30\n" + command + page_at(image, 2 + k);
  text += "pause 100\n";
  for (size_t k = 2 + header_pages; k < image.size() / page; ++k)
    text += command + page_at(image, k) + "pause 30\n";
  uint32_t sum = sum_of(image);
  text += "send 33\npause 30\n" + send_line({static_cast<uint8_t>(sum), static_cast<uint8_t>(sum >> 8)});
  return text + end_of_run(rts_pulses);
}

const std::string handshake_transcript =
    "get\nset 57600 8N1 cts=0 dtr=0 rts=1\nsend 24 80 11 17 04 A6\npause 10\n"
    "get\nset 38400 8N1 cts=0 dtr=0 rts=1\n";

std::string entry_bytes_transcript() {
  std::string text;
  for (int byte = 0xF3; byte <= 0xFF; ++byte) text += send_line({static_cast<uint8_t>(byte)}) + "pause 20\n";
  return text;
}

namespace {
const std::string lines_reversed = "get\nset 38400 8N1 cts=0 dtr=1 rts=0\n";
const std::string lines_back = "get\nset 38400 8N1 cts=0 dtr=0 rts=1\n";
}  // namespace

std::string reset_transcript(int wait) {
  return "pause 500\nsend 41\npause 200\n" + lines_reversed + "pause " + std::to_string(wait) +
         "\n" + lines_back + "pause 500\n";
}

std::string mega_168_reset_transcript(int wait) {
  return lines_reversed + "pause " + std::to_string(wait) + "\n" + lines_back +
         send_line(Bytes(300, 0x55)) + "pause 100\nset 38400 8N2 cts=0 dtr=0 rts=1\n";
}

}  // namespace zirpton::testing
