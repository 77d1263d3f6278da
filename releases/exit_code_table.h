// Every fatal check with its exit code in every release: for the README's
// table and for the test that keeps our own codes apart from the old ones.
#pragma once

#include <span>
#include <string>

#include "releases/release.h"

namespace zirpton {

struct ExitCheck {
  const char* meaning;   // for the README, in English
  int ExitCodes::*code;  // the field of ExitCodes
};

// In the order in which a run can meet them.
std::span<const ExitCheck> exit_checks();

// The eight programs, newest first, by their program file names.
struct ProgramRelease {
  const char* program;
  const Release& (*release)();
};
std::span<const ProgramRelease> program_releases();

// A Markdown table: one row per check, one column per program.
std::string exit_code_table();

}  // namespace zirpton
