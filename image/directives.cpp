#include "image/directives.h"

#include <cstdio>
#include <cstring>

#include "driver/fatal_exit.h"
#include "driver/messages.h"

namespace zirpton {
namespace {

constexpr int max_auto_lines = 126;  // one AUTO block per speed step
constexpr int slots_per_group = 33;
constexpr int record_bytes = 8;

// The first directive whose whole text starts the line; null when none does.
const Directive* match_directive(const Release& release, const char* line) {
  for (const Directive& directive : release.directives)
    if (std::strncmp(line, directive.text, std::strlen(directive.text)) == 0) return &directive;
  return nullptr;
}

void count_auto_line(Run& run) {
  if (run.flash.auto_anzahl == max_auto_lines) {
    say(run.console, Stream::err, "zu viele AUTO-Bloecke!\n");
    fatal_exit(run, run.release.exit.too_many_auto);
  }
  ++run.flash.auto_anzahl;
}

void apply_directive(Run& run, const Directive& directive) {
  FlashConfig& flash = run.flash;
  switch (directive.effect) {
    case DirectiveEffect::flash_size: flash.FLASHSIZE = directive.flash_size; break;
    case DirectiveEffect::mega_168: flash.mega_168 = 1; break;
    case DirectiveEffect::pad_to_12: flash.pad_to_12 = 1; break;
    case DirectiveEffect::generation_4:
      flash.generation_4 = 1;
      flash.group_count = 16;
      break;
    case DirectiveEffect::auto_line: count_auto_line(run); break;
  }
}

void check_config(Run& run) {
  if (!run.release.checks_generation_and_size) return;
  if (run.flash.generation_4 == 0) {
    say(run.console, Stream::err, "nur Empfaenger der 4. Generation unterstuetzt!\n");
    fatal_exit(run, run.release.exit.no_generation);
  }
  if (run.flash.FLASHSIZE == 0) {
    say(run.console, Stream::err, "keine FLASHSIZE angegeben!\n");
    fatal_exit(run, run.release.exit.no_flashsize);
  }
}

void print_config(Run& run) {
  const FlashConfig& flash = run.flash;
  switch (run.release.config_line) {
    case ConfigLine::none: break;
    case ConfigLine::with_auto_anzahl:
      say(run.console, Stream::out, "FLASHSIZE=0x%x mega_168=%d pad_to_12=%d auto_anzahl=%d\n",
          flash.FLASHSIZE, flash.mega_168, flash.pad_to_12, flash.auto_anzahl);
      break;
    case ConfigLine::with_new_sound:
      say(run.console, Stream::out,
          "FLASHSIZE=0x%x mega_168=%d pad_to_12=%d new_sound=%d auto_anzahl=%d\n",
          flash.FLASHSIZE, flash.mega_168, flash.pad_to_12, flash.generation_4,
          flash.auto_anzahl);
      break;
  }
}

void derive_sizes(Run& run) {
  FlashConfig& flash = run.flash;
  flash.slot_count = flash.group_count * slots_per_group;
  flash.header_bytes = (flash.group_count + 2) * slots_per_group * record_bytes;
  // A flash smaller than its own header holds no sound at all.
  uint32_t header = static_cast<uint32_t>(flash.header_bytes);
  uint32_t room = flash.FLASHSIZE > header ? flash.FLASHSIZE - header : 0;
  flash.capacity_seconds = seconds_of(room);
  run.current_slot = 0;
  run.running_offset = header;  // the first sound starts right behind the header
}

}  // namespace

void scan_directives(Run& run) {
  run.flash = FlashConfig{};
  run.flash.FLASHSIZE = run.release.initial_flash_size;

  std::FILE* list = run.list_file.get();
  // Lines keep their line end here; a line too long for the buffer is seen
  // piece by piece, each piece tested like a line of its own.
  while (read_text_line(list, run.line_buffer, line_buffer_size)) {
    const Directive* directive = match_directive(run.release, run.line_buffer);
    if (directive) apply_directive(run, *directive);
  }
  if (run.release.pad_always) run.flash.pad_to_12 = 1;
  check_config(run);
  std::rewind(list);
  if (run.settings.verbose) print_config(run);
  derive_sizes(run);
}

}  // namespace zirpton
