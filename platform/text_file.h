// Files of a run. List and CV files are text: a carriage return right before
// a line feed is dropped as the line is read, as Windows does.
#pragma once

#include <cstdio>
#include <memory>

namespace zirpton {

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
using FileHandle = std::unique_ptr<std::FILE, FileCloser>;

FileHandle open_text_for_reading(const char* path);
FileHandle open_binary_for_reading(const char* path);
// Created or emptied; with `no_follow` a symbolic link standing at `path`
// makes the creation fail instead of writing through it.
FileHandle create_binary(const char* path, bool no_follow = false);

// Reads one line the way fgets does into `buffer` of `size` bytes (at most
// size - 1 characters, the line feed kept when it fits), with "\r\n" read as
// "\n". False at the end of the file when nothing was read.
bool read_text_line(std::FILE* file, char* buffer, int size);

}  // namespace zirpton

namespace zirpton {

// Removes every line feed at the end of `line`; a carriage return stays.
void strip_newlines(char* line);

}  // namespace zirpton
