// The CV default file into the CV page: lines "CV=value", CV 1 to 256 at
// bytes 0 to 255; every byte that no line names stays 0xFF.
#include "cv/cv_defaults.h"

#include <cstring>
#include <string_view>

#include "cv/c_integer.h"
#include "driver/fatal_exit.h"
#include "driver/messages.h"

namespace zirpton {
namespace {

constexpr uint32_t highest_cv = 256;
constexpr uint32_t highest_value = 255;

// The line is shown as it stands in the file, its "=" included.
[[noreturn]] void reject_line(Run& run, const char* format, int code) {
  say(run.console, Stream::out, format, run.line_buffer, run.cv_name.c_str());
  fatal_exit(run, code);
}

[[noreturn]] void reject_missing_number(Run& run) {
  reject_line(run, "ungültige Zeile %s in %s: CV oder WERT fehlt\n",
              run.release.exit.cv_missing_number);
}

// Each side is checked whole, the CV number first, so a line that is wrong on
// both sides reports its CV number. A side without a number ends the run: no
// number of an earlier line stands in for it.
void take_cv_line(Run& run, const char* line) {
  const char* equals = std::strchr(line, '=');
  if (!equals) return;  // comments, blank lines and other text
  ScannedInteger cv = scan_c_integer(std::string_view(line, static_cast<size_t>(equals - line)));
  if (!cv.found) reject_missing_number(run);
  if (cv.value == 0 || cv.value > highest_cv)
    reject_line(run, "ungültige Zeile %s in %s: CV > 256 oder CV < 1\n", run.release.exit.cv_number);
  ScannedInteger value = scan_c_integer(equals + 1);
  if (!value.found) reject_missing_number(run);
  if (value.value > highest_value)
    reject_line(run, "ungültige Zeile %s in %s: WERT > 255\n", run.release.exit.cv_value);
  run.work_buffer[cv.value - 1] = static_cast<uint8_t>(value.value);
}

}  // namespace

void read_cv_defaults(Run& run) {
  std::memset(run.work_buffer, 0xFF, sizeof run.work_buffer);
  std::FILE* file = run.cv_file.get();
  while (read_text_line(file, run.line_buffer, line_buffer_size)) {
    strip_newlines(run.line_buffer);
    take_cv_line(run, run.line_buffer);
  }
  // A file that opens but can't be read (a directory, say) must not pass as
  // an empty one.
  if (std::ferror(file)) {
    report_system_error(run.console, run.cv_name.c_str());
    fatal_exit(run, run.release.exit.file_open);
  }
  run.cv_file.reset();
}

}  // namespace zirpton
