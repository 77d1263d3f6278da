// The part of a console that is the same on every system: the environment
// and the two standard streams.
#pragma once

#include <cstdio>
#include <cstdlib>

#include "platform/console.h"

namespace zirpton {

class StdioConsole : public Console {
 public:
  bool env_present(const char* name) override { return std::getenv(name) != nullptr; }
  // What went to standard output before comes first on the screen, as on a
  // console where both streams are one.
  void write(Stream stream, std::string_view bytes) override {
    if (stream == Stream::err) std::fflush(stdout);
    std::fwrite(bytes.data(), 1, bytes.size(), stream == Stream::out ? stdout : stderr);
  }
  void flush() override {
    std::fflush(stdout);
    std::fflush(stderr);
  }
};

}  // namespace zirpton
