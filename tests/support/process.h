// Runs a built program as a separate process, the way a user's shell would:
// its own environment, working directory and no standard input.
#pragma once

#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace zirpton::testing {

struct ProcessResult {
  int status;  // exit status (0 to 255), or -1 when killed by a signal
  std::string out;
  std::string err;
};

// `program` is a name in the build's bin folder; `env` adds to (or, with an
// empty optional value, removes from) the test's own environment. LC_ALL=C
// is set unless `env` says otherwise.
ProcessResult run_program_file(const std::string& program, const std::vector<std::string>& args,
                               const std::map<std::string, std::string>& env,
                               const std::filesystem::path& cwd);

// The same in two steps, for a test that talks to the program while it runs.
struct StartedProgram {
  int pid;
  std::filesystem::path out_path, err_path;
};
StartedProgram start_program_file(const std::string& program, const std::vector<std::string>& args,
                                  const std::map<std::string, std::string>& env,
                                  const std::filesystem::path& cwd);
// True once the program has ended; then `result` holds its outcome.
bool program_ended(const StartedProgram& started, ProcessResult& result);

std::filesystem::path bin_path(const std::string& program);

}  // namespace zirpton::testing
