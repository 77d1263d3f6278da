// Console messages. The fixed text of a message is written in the console's
// encoding (UTF-8, or code page 850 bytes); what fills its placeholders, such
// as lines and file names from the user's files, passes through unchanged.
#pragma once

#include <string>

#include "platform/console.h"

namespace zirpton {

// printf-like; `format` is UTF-8 in the source.
void say(Console& console, Stream stream, const char* format, ...)
    __attribute__((format(printf, 3, 4)));

// "name: system text\n" on standard error, for the current error number.
void report_system_error(Console& console, const char* name);

// The UTF-8 text in code page 850 bytes (only the letters the messages use).
std::string to_code_page_850(const char* utf8);

}  // namespace zirpton
