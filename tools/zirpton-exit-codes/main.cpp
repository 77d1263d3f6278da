// Prints the table of every exit code of every program, as the README shows it.
#include <cstdio>

#include "releases/exit_code_table.h"

int main() {
  std::fputs(zirpton::exit_code_table().c_str(), stdout);
  return 0;
}
