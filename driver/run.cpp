// The main routine: banner, command line, the port, the files of the run in
// their order, then the phases one after the other.
#include "driver/run.h"

#include <memory>

#include "cv/cv_defaults.h"
#include "driver/fatal_exit.h"
#include "driver/run_start.h"
#include "image/directives.h"
#include "image/entries.h"
#include "image/slot_checks.h"
#include "link/programming_entry.h"
#include "link/stream.h"
#include "releases/oldest_run.h"

namespace zirpton {
namespace {

// The port is opened and has had its handshake before any file is looked
// at; the temporary file (and the output file) exist, empty, before the list
// file is opened.
void start_run(Run& run, int argc, const char* const* argv) {
  run.settings.verbose = run.console.env_present("QZ_HOME");
  print_banner(run);
  if (argc - 1 < 3) end_with_usage(run);
  open_port_of_argument(run, argv[1]);
  open_cv_file(run, argv[3]);
  create_temp_file(run);
  if (argc - 1 == 4) create_output_file(run, argv[4]);
  open_list_file(run, argv[2]);
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
    if (release.run_sequence == RunSequence::oldest) {
      run_oldest(*run, argc, argv);
    } else {
      start_run(*run, argc, argv);
      run_phases(*run);
    }
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
