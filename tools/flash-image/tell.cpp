#include "tools/flash-image/tell.h"

#include "driver/messages.h"

namespace zirpton::tools {

void tell(Console& console, Stream stream, const std::string& utf8) {
  console.write(stream, console.utf8() ? utf8 : to_code_page_850(utf8.c_str()));
}

}  // namespace zirpton::tools
