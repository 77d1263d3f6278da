// The pieces of a run's start that every release's run sequence shares.
#pragma once

#include <string>

#include "driver/run.h"

namespace zirpton {

void print_banner(Run& run);
[[noreturn]] void end_with_usage(Run& run);
// Reads the port argument into the settings and opens the port.
void open_port_of_argument(Run& run, const char* argument);
// The file opened, or the system error report and the end of the run.
FileHandle open_or_end(Run& run, FileHandle file, const std::string& name);
void open_cv_file(Run& run, const char* name);
void create_temp_file(Run& run);
// File-output mode: the image goes to this file instead of the port.
void create_output_file(Run& run, const char* name);
void open_list_file(Run& run, const char* name);

}  // namespace zirpton
