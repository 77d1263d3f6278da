#include "driver/run_start.h"

#include "driver/command_line.h"
#include "driver/fatal_exit.h"
#include "driver/messages.h"
#include "link/open_port.h"

namespace zirpton {

void print_banner(Run& run) { say(run.console, Stream::out, "%s", run.release.banner); }

void end_with_usage(Run& run) {
  say(run.console, Stream::out, "%s", run.release.usage_line);
  usage_exit(run);
}

void open_port_of_argument(Run& run, const char* argument) {
  PortArgument port = parse_port_argument(argument);
  run.settings.reset_mode = port.reset_mode;
  run.settings.port_number = port.port_number;
  open_port(run, port.port_number);
}

FileHandle open_or_end(Run& run, FileHandle file, const std::string& name) {
  if (!file) {
    report_system_error(run.console, name.c_str());
    fatal_exit(run, run.release.exit.file_open);
  }
  return file;
}

void open_cv_file(Run& run, const char* name) {
  run.cv_name = name;
  run.cv_file = open_or_end(run, open_text_for_reading(name), run.cv_name);
}

void create_temp_file(Run& run) {
  run.temp_file = open_or_end(run, create_binary(temp_file_name, true), temp_file_name);
}

void create_output_file(Run& run, const char* name) {
  run.settings.file_mode = true;
  run.output_name = name;
  run.output_file = open_or_end(run, create_binary(name), run.output_name);
  run.channel.file_mode = true;
  run.channel.output_file = run.output_file.get();
}

void open_list_file(Run& run, const char* name) {
  run.list_name = name;
  run.list_file = open_or_end(run, open_text_for_reading(name), run.list_name);
}

}  // namespace zirpton
