// Whole runs in-process against a fake machine, inside a fresh working
// directory of their own.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "driver/run.h"
#include "platform/fakes/line_log.h"
#include "releases/release.h"

namespace zirpton::testing {

// A fresh, empty directory that is the working directory while it lives.
class ScratchDir {
 public:
  ScratchDir();
  ~ScratchDir();
  const std::filesystem::path& path() const { return path_; }
  void write(const std::string& name, const std::string& content) const;
  std::string read(const std::string& name) const;
  bool exists(const std::string& name) const;

 private:
  std::filesystem::path path_;
  std::filesystem::path previous_;
};

struct RunResult {
  int code;
  std::string out;
  std::string err;
};

// `args` without the program name.
RunResult run_in_process(const Release& release, fakes::FakeMachine& machine,
                         const std::vector<std::string>& args);

std::string read_file(const std::filesystem::path& path);
std::string repeat(const std::string& text, int times);

// The flash settings of a "**16MBit" and "**4.Generation" list as the
// directive pass leaves them, the first sound due at the header's end.
void after_directive_pass(Run& run);

}  // namespace zirpton::testing
