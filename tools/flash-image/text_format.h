// printf into a string, for the tools' report lines.
#pragma once

#include <cstdio>
#include <string>

namespace zirpton::tools {

template <typename... Values>
std::string format_text(const char* pattern, Values... values) {
  int size = std::snprintf(nullptr, 0, pattern, values...);
  if (size <= 0) return "";
  std::string text(static_cast<size_t>(size), '\0');
  std::snprintf(text.data(), text.size() + 1, pattern, values...);
  return text;
}

}  // namespace zirpton::tools
