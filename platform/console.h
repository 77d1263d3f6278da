// What the run needs of the console: the environment, the two output streams
// in the console's encoding, and the key press that ends a fatal error.
#pragma once

#include <string_view>

namespace zirpton {

enum class Stream { out, err };

class Console {
 public:
  virtual ~Console() = default;
  virtual bool env_present(const char* name) = 0;
  // True when the console takes UTF-8; else it takes code page 850 bytes.
  virtual bool utf8() = 0;
  virtual void write(Stream stream, std::string_view bytes) = 0;
  virtual void flush() = 0;
  // Waits for one key, read without echo and discarded; returns at once when
  // standard input is not a terminal.
  virtual void wait_key() = 0;
};

}  // namespace zirpton
