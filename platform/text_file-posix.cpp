#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/text_file.h"

namespace zirpton {

namespace {

// A directory opens for reading on POSIX, and would read as an empty file;
// on Windows it does not open. Refused here as there.
FileHandle open_for_reading(const char* path, const char* mode) {
  FileHandle file(std::fopen(path, mode));
  struct stat info;
  if (file && fstat(fileno(file.get()), &info) == 0 && S_ISDIR(info.st_mode)) {
    file.reset();
    errno = EISDIR;
  }
  return file;
}

}  // namespace

FileHandle open_text_for_reading(const char* path) { return open_for_reading(path, "r"); }

FileHandle open_binary_for_reading(const char* path) { return open_for_reading(path, "rb"); }

FileHandle create_binary(const char* path, bool no_follow) {
  int flags = O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | (no_follow ? O_NOFOLLOW : 0);
  int fd = ::open(path, flags, 0666);
  if (fd < 0) return nullptr;
  std::FILE* file = fdopen(fd, "wb");
  if (!file) ::close(fd);
  return FileHandle(file);
}

}  // namespace zirpton
