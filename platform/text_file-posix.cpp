#include <fcntl.h>
#include <unistd.h>

#include "platform/text_file.h"

namespace zirpton {

FileHandle open_text_for_reading(const char* path) { return FileHandle(std::fopen(path, "r")); }

FileHandle open_binary_for_reading(const char* path) { return FileHandle(std::fopen(path, "rb")); }

FileHandle create_binary(const char* path, bool no_follow) {
  int flags = O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | (no_follow ? O_NOFOLLOW : 0);
  int fd = ::open(path, flags, 0666);
  if (fd < 0) return nullptr;
  std::FILE* file = fdopen(fd, "wb");
  if (!file) ::close(fd);
  return FileHandle(file);
}

}  // namespace zirpton
