#include "image/directives.h"

namespace zirpton {

void scan_directives(Run&) {}

}  // namespace zirpton
