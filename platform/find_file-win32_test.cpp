#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "platform/find_file.h"
#include "platform/text_file.h"
#include "tests/support/harness.h"

namespace zirpton {
namespace {

// Windows finds a file whatever the case of its name and takes either
// separator, so the name from the list opens the file as it stands.
TEST(FindFile, TheNameFromTheListOpensItsFileAsItStands) {
  testing::ScratchDir dir;
  std::filesystem::create_directories("sounds/deep");
  for (const char* name : {"lower.wav", "sounds/Horn.wav", "sounds/deep/Bell.WAV"}) dir.write(name, "x");

  struct Case {
    const char* name;
    bool opens;
  } cases[] = {
      {"LOWER.WAV", true},
      {"SOUNDS\\HORN.WAV", true},
      {"SOUNDS/DEEP\\BELL.WAV", true},
      {".\\SOUNDS\\HORN.WAV", true},
      {"SOUNDS\\DEEP\\..\\HORN.WAV", true},
      // Windows drops blanks and dots at the end of a name.
      {"LOWER.WAV ", true},
      {"LOWER.WAV. ", true},
      {"MISSING.WAV", false},
      {"LOWER.WAV\\X.WAV", false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(find_file(c.name), c.name);
    EXPECT_EQ(open_binary_for_reading(find_file(c.name).c_str()) != nullptr, c.opens) << c.name;
  }
}

}  // namespace
}  // namespace zirpton
