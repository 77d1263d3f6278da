// Files on Windows. List and CV files are read in text mode, the way the
// system reads text; the temporary file is never written through a link
// (symbolic link or junction) that stands at its name.
#include <windows.h>
#include <fcntl.h>
#include <io.h>

#include <cerrno>
#include <cstdint>

#include "platform/text_file.h"

namespace zirpton {
namespace {

// The C runtime's error number for a Windows error, as its own open would
// set it, so that the failure reads like any other file failure.
int errno_for(DWORD error) {
  switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME:
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_NETPATH: return ENOENT;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_WRITE_PROTECT:
    case ERROR_CANNOT_MAKE: return EACCES;
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS: return EEXIST;
    case ERROR_TOO_MANY_OPEN_FILES: return EMFILE;
    case ERROR_NOT_ENOUGH_MEMORY:
    case ERROR_OUTOFMEMORY: return ENOMEM;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL: return ENOSPC;
    default: return EINVAL;
  }
}

HANDLE failed(DWORD error) {
  errno = errno_for(error);
  return INVALID_HANDLE_VALUE;
}

// New where nothing stands at `path`; else what stands there is opened as
// itself (the link, not its target) and emptied only when it is a plain file.
HANDLE create_without_following(const char* path) {
  constexpr DWORD share = FILE_SHARE_READ | FILE_SHARE_WRITE;
  constexpr DWORD flags = FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT;
  HANDLE handle = CreateFileA(path, GENERIC_WRITE, share, nullptr, CREATE_NEW, flags, nullptr);
  if (handle != INVALID_HANDLE_VALUE) return handle;
  if (GetLastError() != ERROR_FILE_EXISTS) return failed(GetLastError());
  handle = CreateFileA(path, GENERIC_WRITE, share, nullptr, OPEN_EXISTING, flags, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return failed(GetLastError());
  BY_HANDLE_FILE_INFORMATION info{};
  DWORD error = ERROR_ACCESS_DENIED;  // a link is refused like a file we may not write
  if (GetFileInformationByHandle(handle, &info) &&
      !(info.dwFileAttributes & (FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY))) {
    if (SetEndOfFile(handle)) return handle;
    error = GetLastError();
  }
  CloseHandle(handle);
  return failed(error);
}

// Windows refuses a directory as a file with "Permission denied"; it is
// told as what it is, in the same words as on POSIX.
void tell_directory(const char* path) {
  DWORD attributes = GetFileAttributesA(path);
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) errno = EISDIR;
}

FileHandle open_for_reading(const char* path, const char* mode) {
  FileHandle file(std::fopen(path, mode));
  if (!file) tell_directory(path);
  return file;
}

FileHandle stream_for(HANDLE handle) {
  int fd = _open_osfhandle(reinterpret_cast<intptr_t>(handle), _O_WRONLY | _O_BINARY);
  if (fd < 0) {
    CloseHandle(handle);
    return nullptr;
  }
  std::FILE* file = _fdopen(fd, "wb");
  if (!file) _close(fd);
  return FileHandle(file);
}

}  // namespace

FileHandle open_text_for_reading(const char* path) { return open_for_reading(path, "r"); }

FileHandle open_binary_for_reading(const char* path) { return open_for_reading(path, "rb"); }

FileHandle create_binary(const char* path, bool no_follow) {
  FileHandle file;
  if (!no_follow) {
    file.reset(std::fopen(path, "wb"));
  } else if (HANDLE handle = create_without_following(path); handle != INVALID_HANDLE_VALUE) {
    file = stream_for(handle);
  }
  if (!file) tell_directory(path);
  return file;
}

}  // namespace zirpton
