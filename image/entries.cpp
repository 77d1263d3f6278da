#include "image/entries.h"

namespace zirpton {

void assign_slots(Run&) {}

}  // namespace zirpton
