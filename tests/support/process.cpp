#include "tests/support/process.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>

#include "tests/support/harness.h"

extern char** environ;

namespace zirpton::testing {

std::filesystem::path bin_path(const std::string& program) {
#ifdef ZIRPTON_BIN_DIR
  return std::filesystem::path(ZIRPTON_BIN_DIR) / program;
#else
  return std::filesystem::path("build/bin") / program;
#endif
}

namespace {

std::filesystem::path scratch_name(const char* kind, int serial) {
  return std::filesystem::temp_directory_path() /
         ("zirpton-" + std::string(kind) + "-" + std::to_string(getpid()) + "-" + std::to_string(serial));
}

ProcessResult collect(const StartedProgram& started, int status) {
  ProcessResult result{WIFEXITED(status) ? WEXITSTATUS(status) : -1, read_file(started.out_path),
                       read_file(started.err_path)};
  std::filesystem::remove(started.out_path);
  std::filesystem::remove(started.err_path);
  return result;
}

}  // namespace

StartedProgram start_program_file(const std::string& program, const std::vector<std::string>& args,
                                  const std::map<std::string, std::string>& env,
                                  const std::filesystem::path& cwd) {
  static int serial = 0;
  ++serial;
  std::map<std::string, std::string> all{{"LC_ALL", "C"}};
  for (char** entry = environ; *entry; ++entry) {
    std::string text = *entry;
    auto eq = text.find('=');
    if (eq != std::string::npos && !all.count(text.substr(0, eq)))
      all[text.substr(0, eq)] = text.substr(eq + 1);
  }
  all.erase("QZ_HOME");
  for (const auto& [name, value] : env) all[name] = value;

  std::string exe = bin_path(program).string();
  StartedProgram started{0, scratch_name("out", serial), scratch_name("err", serial)};
  pid_t child = fork();
  if (child == 0) {
    int in = open("/dev/null", O_RDONLY);
    int out = open(started.out_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    int err = open(started.err_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    dup2(in, 0);
    dup2(out, 1);
    dup2(err, 2);
    if (chdir(cwd.c_str()) != 0) _exit(127);
    std::vector<std::string> env_text;
    for (const auto& [name, value] : all) env_text.push_back(name + "=" + value);
    std::vector<char*> envp, argv{exe.data()};
    for (auto& text : env_text) envp.push_back(text.data());
    envp.push_back(nullptr);
    std::vector<std::string> arg_copy = args;
    for (auto& arg : arg_copy) argv.push_back(arg.data());
    argv.push_back(nullptr);
    execve(exe.c_str(), argv.data(), envp.data());
    _exit(127);
  }
  started.pid = child;
  return started;
}

bool program_ended(const StartedProgram& started, ProcessResult& result) {
  int status = 0;
  if (waitpid(started.pid, &status, WNOHANG) != started.pid) return false;
  result = collect(started, status);
  return true;
}

ProcessResult run_program_file(const std::string& program, const std::vector<std::string>& args,
                               const std::map<std::string, std::string>& env,
                               const std::filesystem::path& cwd) {
  StartedProgram started = start_program_file(program, args, env, cwd);
  int status = 0;
  waitpid(started.pid, &status, 0);
  return collect(started, status);
}

}  // namespace zirpton::testing
