// The main routine: banner, command line, the port, the files of the run in
// their order, then the phases one after the other.
#include "driver/run.h"

#include <memory>

#include "cv/cv_defaults.h"
#include "driver/command_line.h"
#include "driver/fatal_exit.h"
#include "driver/messages.h"
#include "image/directives.h"
#include "image/entries.h"
#include "image/slot_checks.h"
#include "link/open_port.h"
#include "link/programming_entry.h"
#include "link/stream.h"

namespace zirpton {
namespace {

FileHandle open_or_end(Run& run, FileHandle file, const std::string& name) {
  if (!file) {
    report_system_error(run.console, name.c_str());
    fatal_exit(run, run.release.exit.file_open);
  }
  return file;
}

// The port is opened and has its handshake before any file is looked at; the
// temporary file (and the output file) exist, empty, before the list file is
// opened.
void start_run(Run& run, int argc, const char* const* argv) {
  run.settings.verbose = run.console.env_present("QZ_HOME");
  say(run.console, Stream::out, "%s", run.release.banner);
  if (argc - 1 < 3) {
    say(run.console, Stream::out, "%s", run.release.usage_line);
    usage_exit(run);
  }
  PortArgument port = parse_port_argument(argv[1]);
  run.settings.reset_mode = port.reset_mode;
  run.settings.port_number = port.port_number;
  open_port(run, port.port_number);

  run.list_name = argv[2];
  run.cv_name = argv[3];
  run.cv_file = open_or_end(run, open_text_for_reading(argv[3]), run.cv_name);
  run.temp_file = open_or_end(run, create_binary(temp_file_name, true), temp_file_name);
  if (argc - 1 == 4) {
    run.settings.file_mode = true;
    run.output_name = argv[4];
    run.output_file = open_or_end(run, create_binary(argv[4]), run.output_name);
    run.channel.file_mode = true;
    run.channel.output_file = run.output_file.get();
  }
  run.list_file = open_or_end(run, open_text_for_reading(argv[2]), run.list_name);
}

void run_phases(Run& run) {
  scan_directives(run);
  assign_slots(run);
  check_slots(run);
  enter_programming(run);
  read_cv_defaults(run);
  send_image(run);
}

}  // namespace

int run_program(const Release& release, Platform& platform, int argc, const char* const* argv) {
  auto run = std::make_unique<Run>(release, platform);
  int code = 0;
  try {
    start_run(*run, argc, argv);
    run_phases(*run);
  } catch (const FatalExit& end) {
    code = end.code;
  }
  run.reset();  // closes the files, as the end of the program would
  platform.console.flush();
  return code;
}

int program_main(const Release& release, int argc, char** argv) {
  return run_program(release, system_platform(), argc, argv);
}

}  // namespace zirpton
