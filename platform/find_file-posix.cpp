#include <dirent.h>
#include <sys/stat.h>

#include <string>

#include "platform/find_file.h"

namespace zirpton {
namespace {

bool exists(const std::string& path) {
  struct stat info;
  return ::stat(path.c_str(), &info) == 0;
}

// Windows drops blanks and dots at the end of a file name, so a list written
// there may name "A.WAV " for A.WAV.
std::string without_trailing_blanks_and_dots(const std::string& name) {
  size_t end = name.size();
  while (end > 0 && (name[end - 1] == ' ' || name[end - 1] == '.')) --end;
  return name.substr(0, end);
}

bool same_ignoring_case(const char* a, const char* b) {
  auto upper = [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; };
  for (; *a && *b; ++a, ++b)
    if (upper(*a) != upper(*b)) return false;
  return *a == *b;
}

// The entry of `directory` that matches `component` without regard to case;
// of several, the first in byte order, so that the choice does not depend on
// the order in which the directory lists them.
bool match_in(const std::string& directory, const std::string& component, std::string& found) {
  DIR* dir = ::opendir(directory.empty() ? "." : directory.c_str());
  if (!dir) return false;
  bool any = false;
  while (const dirent* entry = ::readdir(dir)) {
    if (!same_ignoring_case(entry->d_name, component.c_str())) continue;
    if (!any || found.compare(entry->d_name) > 0) found = entry->d_name;
    any = true;
  }
  ::closedir(dir);
  return any;
}

bool is_separator(char c) { return c == '/' || c == '\\'; }

std::string join(const std::string& path, const std::string& component) {
  return path.empty() || path == "/" ? path + component : path + "/" + component;
}

// The name as written, or found component by component without regard to
// case; empty when there is no such file.
std::string look_up(const std::string& name) {
  if (name.empty() || exists(name)) return name;
  std::string path = is_separator(name[0]) ? "/" : "";
  size_t start = 0;
  while (start < name.size()) {
    size_t end = start;
    while (end < name.size() && !is_separator(name[end])) ++end;
    std::string component = name.substr(start, end - start);
    start = end + 1;
    if (component.empty()) continue;
    std::string joined = join(path, component);
    if (component == "." || component == ".." || exists(joined)) {
      path = joined;
      continue;
    }
    std::string found;
    if (!match_in(path, component, found)) return {};
    path = join(path, found);
  }
  return path;
}

}  // namespace

std::string find_file(const std::string& name) {
  std::string found = look_up(name);
  if (found.empty()) found = look_up(without_trailing_blanks_and_dots(name));
  return found.empty() ? name : found;
}

}  // namespace zirpton
