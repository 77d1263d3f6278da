#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <string>

#include "platform/text_file.h"
#include "tests/support/harness.h"

namespace zirpton {
namespace {

TEST(WindowsFiles, TheTemporaryFileIsCreatedOrEmptiedAndTakesBytesUnchanged) {
  struct Case {
    const char* what;
    const char* path;
    void (*prepare)(testing::ScratchDir&);
    int error;  // 0: created
  } cases[] = {
      {"nothing there", "zirptmp.$$$", [](testing::ScratchDir&) {}, 0},
      {"an old file", "zirptmp.$$$", [](testing::ScratchDir& dir) { dir.write("zirptmp.$$$", "old data"); }, 0},
      {"a directory", "zirptmp.$$$",
       [](testing::ScratchDir& dir) { std::filesystem::create_directory(dir.path() / "zirptmp.$$$"); },
       EISDIR},
      {"in a missing folder", "missing\\zirptmp.$$$", [](testing::ScratchDir&) {}, ENOENT},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    testing::ScratchDir dir;
    c.prepare(dir);
    errno = 0;
    FileHandle file = create_binary(c.path, true);
    if (c.error) {
      EXPECT_EQ(file, nullptr);
      EXPECT_STREQ(std::strerror(errno), std::strerror(c.error));
      continue;
    }
    ASSERT_NE(file, nullptr);
    std::fputs("a\nb\r\n\x1A" "c", file.get());
    file.reset();
    EXPECT_EQ(dir.read(c.path), "a\nb\r\n\x1A" "c");
  }
}

}  // namespace
}  // namespace zirpton
