#include "platform/text_file.h"

#include <cstring>

namespace zirpton {

bool read_text_line(std::FILE* file, char* buffer, int size) {
  int count = 0;
  while (count < size - 1) {
    int c = std::getc(file);
    if (c == EOF) break;
    if (c == '\r') {
      int next = std::getc(file);
      if (next == '\n')
        c = '\n';
      else if (next != EOF)
        std::ungetc(next, file);
    }
    buffer[count++] = static_cast<char>(c);
    if (c == '\n') break;
  }
  buffer[count] = '\0';
  return count > 0;
}

}  // namespace zirpton

namespace zirpton {

void strip_newlines(char* line) {
  size_t length = std::strlen(line);
  while (length > 0 && line[length - 1] == '\n') line[--length] = '\0';
}

}  // namespace zirpton
