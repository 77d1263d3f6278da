#include "platform/find_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "tests/support/harness.h"

namespace zirpton {
namespace {

TEST(FindFile, AnUpperCaseNameFindsItsFileWhateverItsCase) {
  testing::ScratchDir dir;
  std::filesystem::create_directories("sounds/deep");
  for (const char* name : {"UPPER.WAV", "lower.wav", "Both.wav", "both.wav", "sounds/Horn.wav",
                           "sounds/deep/Bell.WAV"})
    dir.write(name, "x");
  std::string root = dir.path().string();

  struct Case {
    std::string name;
    std::string path;
  };
  const Case cases[] = {
      {"UPPER.WAV", "UPPER.WAV"},
      {"LOWER.WAV", "lower.wav"},
      {"SOUNDS\\HORN.WAV", "sounds/Horn.wav"},
      {"SOUNDS/DEEP\\BELL.WAV", "sounds/deep/Bell.WAV"},
      {"SOUNDS\\\\HORN.WAV", "sounds/Horn.wav"},
      {".\\SOUNDS\\HORN.WAV", "./sounds/Horn.wav"},
      {"SOUNDS\\DEEP\\..\\HORN.WAV", "sounds/deep/../Horn.wav"},
      {root + "/SOUNDS/HORN.WAV", root + "/sounds/Horn.wav"},
      {"BOTH.WAV", "Both.wav"},  // of several, the first in byte order
      // Nothing matches: the name as given, so that opening it fails.
      {"MISSING.WAV", "MISSING.WAV"},
      // Windows drops blanks and dots at the end of a name.
      {"LOWER.WAV ", "lower.wav"},
      {"UPPER.WAV. ", "UPPER.WAV"},
      {"SOUNDS\\MISSING.WAV", "SOUNDS\\MISSING.WAV"},
      {"LOWER.WAV\\X.WAV", "LOWER.WAV\\X.WAV"},
      {"", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(find_file(c.name), c.path) << c.name;
}

}  // namespace
}  // namespace zirpton
