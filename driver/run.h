// The state of one run, from the command line to the last byte: one context
// handed to every phase, so that a whole run can go against fakes in tests.
#pragma once

#include <cstdint>
#include <string>

#include "image/flash_config.h"
#include "image/slot_table.h"
#include "link/byte_channel.h"
#include "platform/platform.h"
#include "platform/text_file.h"
#include "releases/release.h"

namespace zirpton {

inline constexpr const char* temp_file_name = "zirptmp.$$$";
inline constexpr int line_buffer_size = 300;
inline constexpr int work_buffer_size = 32768;

struct RunSettings {
  bool verbose = false;
  int reset_mode = 1;  // 0 no reset, 1 long wait, 2 short wait
  int port_number = 0;
  bool file_mode = false;
};

struct Run {
  Run(const Release& release_, Platform& platform_)
      : release(release_), platform(platform_), console(platform_.console),
        channel(platform_.console, platform_.clock) {}

  const Release& release;
  Platform& platform;
  Console& console;
  RunSettings settings;
  ByteChannel channel;

  // Files, in the order the run opens them.
  std::string cv_name, list_name, output_name;
  FileHandle cv_file, temp_file, output_file, list_file;

  FlashConfig flash;
  SlotTable slots;
  AutoTables autos{};
  int current_slot = 0;
  uint32_t running_offset = 0;

  char line_buffer[line_buffer_size] = {};
  uint8_t work_buffer[work_buffer_size] = {};
};

// Runs one program of `release` with the command line `argv` (argc entries,
// the program name first) on `platform`; returns the exit code.
int run_program(const Release& release, Platform& platform, int argc, const char* const* argv);

// The real program: the system's platform.
int program_main(const Release& release, int argc, char** argv);

}  // namespace zirpton
