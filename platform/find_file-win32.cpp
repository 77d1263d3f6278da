#include "platform/find_file.h"

namespace zirpton {

// Windows compares names without regard to case and takes both separators.
std::string find_file(const std::string& name) { return name; }

}  // namespace zirpton
