// Finding a sound file by the name a list gives it. The lists were written
// for a file system that ignores case, and their names reach us in capitals.
#pragma once

#include <string>

namespace zirpton {

// The path under which `name` is to be opened: the name itself when it
// exists; else, where the file system tells case apart, the path that
// matches it component by component without regard to case, a backslash
// counting as a path separator. The name itself when nothing matches, so
// that opening it fails as for any missing file.
std::string find_file(const std::string& name);

}  // namespace zirpton
