#include "link/stream.h"

namespace zirpton {

void send_image(Run&) {}

}  // namespace zirpton
