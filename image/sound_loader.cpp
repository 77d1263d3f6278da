#include "image/sound_loader.h"

#include <cerrno>
#include <cstring>

#include "driver/fatal_exit.h"
#include "driver/messages.h"
#include "image/slot_name.h"
#include "image/header_block.h"
#include "image/wave.h"
#include "platform/find_file.h"

namespace zirpton {
namespace {

// At most this many samples pass through the work buffer at a time, so that
// no sound needs memory of its own size.
constexpr uint32_t chunk_samples = 2048;

struct Sound {
  const char* name;  // in capitals, as the list gives it: the name in messages
  FileHandle file;
  uint32_t samples;
  bool is_16bit;
};

[[noreturn]] void fail_system(Run& run, const char* name, int code) {
  report_system_error(run.console, name);
  fatal_exit(run, code);
}

// A short read at the end of the file leaves no error number of its own;
// one is set so that the report does not show a stale or a success text.
void read_or_end(Run& run, const Sound& sound, size_t bytes, int code) {
  if (std::fread(run.work_buffer, 1, bytes, sound.file.get()) == bytes) return;
  if (!std::ferror(sound.file.get())) errno = ENODATA;
  fail_system(run, sound.name, code);
}

void write_or_end(Run& run, size_t bytes, int code) {
  if (std::fwrite(run.work_buffer, 1, bytes, run.temp_file.get()) != bytes)
    fail_system(run, temp_file_name, code);
}

void open_sound(Run& run, Sound& sound) {
  sound.file = open_binary_for_reading(find_file(sound.name).c_str());
  if (sound.file) return;
  if (run.release.sound_not_found_as_system_error)
    report_system_error(run.console, sound.name);
  else
    say(run.console, Stream::err, "%s nicht gefunden!\n", sound.name);
  fatal_exit(run, run.release.exit.sound_not_found);
}

// The format and the size of the data, by the chunk walk or from the fixed
// header block; the file is left at the first sample.
uint32_t read_sound_header(Run& run, Sound& sound, WaveFormat& format) {
  if (run.release.sound_header == SoundHeader::fixed_block) {
    uint32_t data_size = 0;
    int block = read_header_block(sound.file.get(), format, data_size);
    // Bytes the file can't give would come from whatever the block held
    // before: such a file ends the run.
    if (block < 0) {
      say(run.console, Stream::err, "Datei %s ist kürzer als ihr WAVE-Kopf von %d Bytes!\n",
          sound.name, -block);
      fatal_exit(run, run.release.exit.sound_too_short);
    }
    return data_size;
  }
  int32_t size = wave_find_data(sound.file, format, run.release.riff_size_exact);
  if (size < 0) {
    say(run.console, Stream::err, "Header-Problem bei File %s (Code=%d)\n", sound.name, size);
    fatal_exit(run, run.release.exit.header_problem);
  }
  return static_cast<uint32_t>(size);
}

void check_format(Run& run, Sound& sound, const WaveFormat& format, uint32_t data_bytes) {
  // The oldest release copies the data bytes whatever they are.
  if (!run.release.converts_samples) {
    sound.is_16bit = false;
    sound.samples = data_bytes;
  } else if (format.block_align == 2 && format.bits_per_sample == 16) {
    sound.is_16bit = true;
    sound.samples = data_bytes / 2;  // an odd last byte is never read
  } else if (format.block_align == 1 && format.bits_per_sample == 8) {
    sound.is_16bit = false;
    sound.samples = data_bytes;
  } else {
    say(run.console, Stream::err, run.release.format_problem_message, sound.name,
        format.block_align, format.bits_per_sample);
    fatal_exit(run, run.release.exit.format_problem);
  }
}

// Signed 16-bit samples become unsigned bytes by their high byte plus 0x80,
// truncated; 8-bit samples are unsigned already and are copied.
void convert(Run& run, const Sound& sound) {
  const ExitCodes& exit = run.release.exit;
  for (uint32_t remaining = sound.samples; remaining > 0;) {
    uint32_t count = remaining < chunk_samples ? remaining : chunk_samples;
    if (sound.is_16bit) {
      read_or_end(run, sound, count * 2u, exit.short_read_16);
      for (uint32_t i = 0; i < count; ++i)
        run.work_buffer[i] = static_cast<uint8_t>(run.work_buffer[2 * i + 1] + 0x80);
      write_or_end(run, count, exit.write_16);
    } else {
      read_or_end(run, sound, count, exit.short_read_8);
      write_or_end(run, count, exit.write_8);
    }
    remaining -= count;
  }
}

// The fill is written like the samples, and a failed write ends the run
// like theirs: a lost fill byte would shift every later sound.
void pad_to_12(Run& run, SlotRow& row) {
  uint32_t fill = (12 - row.length % 12) % 12;
  if (fill == 0) return;
  std::memset(run.work_buffer, 0x80, fill);
  write_or_end(run, fill, run.release.exit.write_8);
  row.length += fill;
}

// Saturates rather than wraps: a sound set beyond 32 bits must still fail
// the size check against FLASHSIZE.
uint32_t grown(uint32_t offset, uint32_t length) {
  return length > UINT32_MAX - offset ? UINT32_MAX : offset + length;
}

}  // namespace

void load_sound(Run& run, const char* name) {
  Sound sound{name, nullptr, 0, false};
  WaveFormat format{};
  open_sound(run, sound);
  check_format(run, sound, format, read_sound_header(run, sound, format));

  SlotRow& row = run.slots.rows[run.current_slot];
  row.rate_flag = run.release.reads_rate && format.sample_rate == 22050 ? 1 : 0;
  row.is_16bit = sound.is_16bit ? 1 : 0;
  store_name(row.name, name);
  row.length = sound.samples;
  convert(run, sound);
  sound.file.reset();
  if (run.flash.pad_to_12) pad_to_12(run, row);

  row.off = run.running_offset;
  run.running_offset = grown(run.running_offset, row.length);
  ++run.current_slot;
}

}  // namespace zirpton
