// zirpton-inspect IMAGE [--layout NAME] [--extract DIR]
#include <string>
#include <vector>

#include "platform/platform.h"
#include "tools/zirpton-inspect/inspect.h"

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  zirpton::Console& console = zirpton::system_console();
  int code = zirpton::tools::inspect_main(console, args);
  console.flush();
  return code;
}
