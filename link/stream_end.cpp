#include "link/stream_end.h"

#include <cerrno>
#include <cstdio>

#include "driver/fatal_exit.h"
#include "driver/messages.h"

namespace zirpton {

void check_output_written(Run& run) {
  std::FILE* output = run.channel.output_file;
  if (!output) return;
  errno = 0;
  const bool flushed = std::fflush(output) == 0;
  if (flushed && !run.channel.output_failed && !std::ferror(output)) return;
  // When only an earlier byte failed, its error number is gone by now.
  if (flushed || errno == 0) errno = EIO;
  report_system_error(run.console, run.output_name.c_str());
  fatal_exit(run, run.release.exit.output_write_failed);
}

void check_port_writes(Run& run) {
  if (run.channel.failed_writes == 0) return;
  say(run.console, Stream::err,
      "%d Schreibzugriffe auf %s sind fehlgeschlagen: der Empfänger ist nicht vollständig "
      "programmiert!\n",
      run.channel.failed_writes, port_device_name(run.settings.port_number).c_str());
  fatal_exit(run, run.release.exit.port_writes_failed);
}

}  // namespace zirpton
