#include "tools/zirpton-demo-sounds/demo_sounds.h"

#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <string>

namespace zirpton::tools {
namespace {

uint32_t le(const std::string& bytes, size_t at, int size) {
  uint32_t value = 0;
  for (int i = size - 1; i >= 0; --i) value = value << 8 | static_cast<uint8_t>(bytes[at + i]);
  return value;
}

// The header read back field by field, so that a wrong size or rate shows.
std::string describe(const DemoSoundFile& file) {
  const std::string& w = file.wave;
  bool plain = w.substr(0, 4) == "RIFF" && le(w, 4, 4) == w.size() - 8 &&
               w.substr(8, 8) == "WAVEfmt " && le(w, 16, 4) == 16 && le(w, 20, 2) == 1 &&
               le(w, 22, 2) == 1 && le(w, 28, 4) == le(w, 24, 4) * le(w, 32, 2) &&
               le(w, 32, 2) * 8 == le(w, 34, 2) && w.substr(36, 4) == "data" &&
               le(w, 40, 4) + 44 + (le(w, 40, 4) & 1) == w.size();
  return file.name + (plain ? " " : " (Kopf falsch) ") + std::to_string(le(w, 24, 4)) + " Hz " +
         std::to_string(le(w, 34, 2)) + " Bit " + std::to_string(le(w, 40, 4)) + " Bytes\n";
}

TEST(DemoSounds, ArePlainMonoWaveFilesOfBothSampleSizesOneAt22050Hz) {
  std::string all;
  for (const DemoSoundFile& file : demo_sounds()) all += describe(file);
  EXPECT_EQ(all,
            "HORN.WAV 11025 Hz 8 Bit 5512 Bytes\n"
            "BELL.WAV 22050 Hz 16 Bit 17640 Bytes\n"
            "STEAM.WAV 11025 Hz 8 Bit 3307 Bytes\n"
            "CHUFF1.WAV 11025 Hz 16 Bit 8820 Bytes\n"
            "CHUFF2.WAV 11025 Hz 16 Bit 6614 Bytes\n"
            "IDLE.WAV 11025 Hz 8 Bit 3307 Bytes\n"
            "RUN.WAV 11025 Hz 8 Bit 3307 Bytes\n"
            "BRAKE.WAV 11025 Hz 16 Bit 6614 Bytes\n");
}

// The list file of the example and the generator must not drift apart.
TEST(DemoSounds, TheExampleListNamesEachOfThemAndNoOther) {
  std::ifstream list(std::string(ZIRPTON_SOURCE_DIR) + "/examples/demo/demo.lst");
  ASSERT_TRUE(list);
  std::set<std::string> named;
  int auto_lines_left = 0;
  for (std::string line; std::getline(list, line);) {
    if (auto_lines_left > 0) {
      --auto_lines_left;
      named.insert(line);
    } else if (line.rfind("AUTO", 0) == 0) {
      auto_lines_left = 3;
    } else if (!line.empty() && line[0] >= '0' && line[0] <= '9') {
      std::string name = line.substr(line.find(':') + 2);
      if (name != "---") named.insert(name);
    }
  }
  std::set<std::string> made;
  for (const DemoSoundFile& file : demo_sounds()) made.insert(file.name);
  EXPECT_EQ(named, made);
}

}  // namespace
}  // namespace zirpton::tools
