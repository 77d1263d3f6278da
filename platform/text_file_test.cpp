#include "platform/text_file.h"

#include <gtest/gtest.h>

#include <cerrno>

#include <string>
#include <vector>

#include "tests/support/harness.h"

namespace zirpton {
namespace {

std::vector<std::string> lines_of(const std::string& content, int size) {
  testing::ScratchDir dir;
  dir.write("f.txt", content);
  FileHandle file = open_text_for_reading("f.txt");
  std::vector<std::string> lines;
  std::vector<char> buffer(static_cast<size_t>(size));
  while (read_text_line(file.get(), buffer.data(), size)) lines.emplace_back(buffer.data());
  return lines;
}

TEST(TextLines, CarriageReturnBeforeLineFeedIsDropped) {
  using L = std::vector<std::string>;
  EXPECT_EQ(lines_of("a\r\nb\rc\n\r", 300), (L{"a\n", "b\rc\n", "\r"}));
  EXPECT_EQ(lines_of("last", 300), (L{"last"}));
  EXPECT_EQ(lines_of("", 300), (L{}));
}

TEST(TextLines, ALongLineIsReadInPiecesAndTheCrTakesNoRoom) {
  using L = std::vector<std::string>;
  // Buffer of 5: four characters a read; the line feed of a full piece is
  // left for the next read.
  EXPECT_EQ(lines_of("abcdefgh\n", 5), (L{"abcd", "efgh", "\n"}));
  EXPECT_EQ(lines_of("abc\r\nx", 5), (L{"abc\n", "x"}));
}

TEST(Files, TheTemporaryFileIsNotCreatedThroughALink) {
  testing::ScratchDir dir;
  std::error_code error;
  std::filesystem::create_symlink(dir.path() / "target", dir.path() / "zirptmp.$$$", error);
#ifdef _WIN32
  if (error) GTEST_SKIP() << "no symbolic links here: " << error.message();
#endif
  ASSERT_FALSE(error) << error.message();
  EXPECT_EQ(create_binary("zirptmp.$$$", true), nullptr);
  EXPECT_FALSE(std::filesystem::exists(dir.path() / "target"));
  EXPECT_NE(create_binary("plain", true), nullptr);
}

// A directory would read as an empty list, CV or sound file.
TEST(Files, ADirectoryDoesNotOpenForReading) {
  testing::ScratchDir dir;
  std::filesystem::create_directory(dir.path() / "cvs");
  errno = 0;
  EXPECT_EQ(open_text_for_reading("cvs"), nullptr);
  EXPECT_EQ(errno, EISDIR);
  EXPECT_EQ(open_binary_for_reading("cvs"), nullptr);
  EXPECT_EQ(errno, EISDIR);
}

}  // namespace
}  // namespace zirpton
