#include "tests/support/harness.h"

#include <cstdio>
#include <fstream>
#include <random>
#include <sstream>

#include "driver/run.h"

namespace zirpton::testing {

// A name nobody else holds: creating the directory fails when it exists, so
// the first one created is ours alone.
ScratchDir::ScratchDir() {
  static std::mt19937_64 names{std::random_device{}()};
  do {
    char name[32];
    std::snprintf(name, sizeof name, "zirpton-%016llx", static_cast<unsigned long long>(names()));
    path_ = std::filesystem::temp_directory_path() / name;
  } while (!std::filesystem::create_directory(path_));
  std::filesystem::permissions(path_, std::filesystem::perms::owner_all);
  previous_ = std::filesystem::current_path();
  std::filesystem::current_path(path_);
}

ScratchDir::~ScratchDir() {
  std::filesystem::current_path(previous_);
  std::filesystem::remove_all(path_);
}

void ScratchDir::write(const std::string& name, const std::string& content) const {
  std::ofstream(path_ / name, std::ios::binary) << content;
}

std::string ScratchDir::read(const std::string& name) const { return read_file(path_ / name); }

bool ScratchDir::exists(const std::string& name) const {
  return std::filesystem::exists(std::filesystem::symlink_status(path_ / name));
}

std::string read_file(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream content;
  content << in.rdbuf();
  return content.str();
}

std::string repeat(const std::string& text, int times) {
  std::string all;
  for (int i = 0; i < times; ++i) all += text;
  return all;
}

void after_directive_pass(Run& run) {
  run.flash.FLASHSIZE = 0x210000;
  run.flash.generation_4 = 1;
  run.flash.group_count = 16;
  run.flash.slot_count = 528;
  run.flash.header_bytes = 4752;
  run.running_offset = 4752;
}

RunResult run_in_process(const Release& release, fakes::FakeMachine& machine,
                         const std::vector<std::string>& args) {
  std::vector<const char*> argv{release.program};
  for (const auto& arg : args) argv.push_back(arg.c_str());
  int code = run_program(release, machine.platform, static_cast<int>(argv.size()), argv.data());
  return {code, machine.console.out, machine.console.err};
}

}  // namespace zirpton::testing
