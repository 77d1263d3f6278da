// Text of the tools on the console, in its encoding like every message of
// the programs: UTF-8 in the source, code page 850 where the console wants it.
#pragma once

#include <string>

#include "platform/console.h"

namespace zirpton::tools {

void tell(Console& console, Stream stream, const std::string& utf8);

}  // namespace zirpton::tools
