// zirpton-inspect: reads an image as a file-output run writes it and shows
// what the receiver would hold: CVs, slot records, shared sounds; on request
// writes each sound back out as a WAVE file to listen to.
#pragma once

#include <string>
#include <vector>

#include "platform/console.h"

namespace zirpton::tools {

inline constexpr int inspect_bad_image = 1;
inline constexpr int inspect_usage = 2;

// `args` without the program name: IMAGE [--layout NAME] [--extract DIR].
int inspect_main(Console& console, const std::vector<std::string>& args);

}  // namespace zirpton::tools
