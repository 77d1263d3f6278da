#include "cv/cv_defaults.h"

namespace zirpton {

void read_cv_defaults(Run&) {}

}  // namespace zirpton
