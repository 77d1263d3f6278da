#include "tests/support/example_project.h"

#include <cstdio>
#include <vector>

#include "tests/support/wave_builder.h"

namespace zirpton::testing {
namespace {

std::string a_samples() {
  std::string samples;
  for (int i = 0; i < 301; ++i) samples += static_cast<char>((i * 7) & 0xFF);
  return samples;
}

std::vector<int16_t> b_samples() {
  std::vector<int16_t> samples;
  for (int i = 0; i < 200; ++i) samples.push_back(static_cast<int16_t>(i * 300 - 30000));
  return samples;
}

const std::string c_samples = "ABCDEFGHIJKLM";  // 13 samples, padded to 24

std::string listed(int first, int last, const char* name, int length, int off, const char* ni) {
  std::string lines;
  char line[100];
  for (int slot = first; slot <= last; ++slot) {
    std::snprintf(line, sizeof line, "%3d (%2x): %s l=%d off=%d ni=%s\n", slot, slot % 132, name,
                  length, off, ni);
    lines += line;
  }
  return lines;
}

}  // namespace

void write_example_project(const ScratchDir& dir, bool mega_168) {
  dir.write("a.wav", wave_8bit(a_samples()));
  dir.write("B.WAV", wave_16bit(b_samples(), 22050));
  dir.write("c.Wav", wave_8bit(c_samples));
  dir.write("list.txt", std::string("**16MBit\r\n**4.Generation\r\n**PAD-12\r\n") +
                            (mega_168 ? "**Mega168\r\n" : "") +
                            "; bank 0: the first three groups alike\r\n"
                            "00: a.wav\r\n01: B.WAV\r\n02: ---\r\n03: ---\r\n"
                            "04: A.WAV\r\n05: b.wav\r\n06: ---\r\n07: ---\r\n"
                            "08: a.wav\r\n09: B.wav\r\n"
                            "1000: C.WAV\r\n2000: B.WAV\r\n3000: c.wav\r\n");
  dir.write("cv.txt", "; defaults\n1=3\n29 = 6\n0x20=0x10\n");
}

std::string example_converted_bytes() {
  std::string bytes = a_samples() + std::string(11, '\x80');  // 301 padded to 312
  for (int16_t sample : b_samples())
    bytes += static_cast<char>(((static_cast<uint16_t>(sample) >> 8) + 0x80) & 0xFF);
  bytes += std::string(4, '\x80');  // 200 samples padded to 204
  bytes += c_samples + std::string(11, '\x80');
  return bytes;
}

std::string example_listing() {
  return "Zirpton Version 7.0, 11.5.2012\n"
         "0.5 Sekunden von maximal 195.7 Sekunden benutzt\n" +
         listed(0, 0, "A.WAV", 312, 4752, "1") + listed(1, 1, "B.WAV", 204, 5064, "0(*)") +
         listed(4, 4, "A.WAV", 312, 4752, "5") + listed(5, 5, "B.WAV", 204, 5064, "4(*)") +
         listed(8, 8, "A.WAV", 312, 4752, "9") + listed(9, 9, "B.WAV", 204, 5064, "8(*)") +
         listed(132, 262, "C.WAV", 24, 5268, "0") + listed(264, 394, "B.WAV", 204, 5064, "0") +
         listed(396, 526, "C.WAV", 24, 5268, "0") +
         "  18 von 8190 Pages werden programmiert\n"
         "  18\n";
}

}  // namespace zirpton::testing
