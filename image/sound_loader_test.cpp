#include "image/sound_loader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "driver/fatal_exit.h"
#include "driver/run.h"
#include "platform/fakes/line_log.h"
#include "releases/release.h"
#include "tests/support/harness.h"
#include "tests/support/wave_builder.h"

namespace zirpton {
namespace {

using namespace zirpton::testing;

// A run as the entry pass leaves it for the loader: the temporary file
// created, the directive pass done, the first sound due at the header's end.
struct Bench {
  fakes::FakeMachine machine;
  zirpton::Run run{release_7_0(), machine.platform};

  explicit Bench(int pad_to_12 = 0) {
    run.temp_file = create_binary("zirptmp.$$$");
    testing::after_directive_pass(run);
    run.flash.pad_to_12 = pad_to_12;
  }

  // 0, or the exit code of the fatal error.
  int load(const char* name) {
    try {
      load_sound(run, name);
      return 0;
    } catch (const FatalExit& end) {
      return end.code;
    }
  }

  std::string temp() {
    std::fflush(run.temp_file.get());
    return read_file("zirptmp.$$$");
  }
};

std::string bytes(std::initializer_list<int> values) {
  std::string text;
  for (int value : values) text += static_cast<char>(value);
  return text;
}

// "NAME off+length rate 16bit" for the rows loaded so far.
std::string rows_of(const zirpton::Run& run) {
  std::string text;
  for (int i = 0; i < run.current_slot; ++i) {
    const SlotRow& row = run.slots.rows[i];
    char line[200];
    std::snprintf(line, sizeof line, "%s %u+%u rate=%d 16bit=%d\n", row.name, row.off, row.length,
                  row.rate_flag, row.is_16bit);
    text += line;
  }
  return text;
}

struct ConvertCase {
  const char* what;
  std::string file;
  int pad_to_12;
  std::string temp;  // the whole temporary file afterwards
  uint32_t length;
  int rate_flag;
  int is_16bit;
};

TEST(SoundLoader, ConvertsEachSoundIntoTheTemporaryFile) {
  const std::string fill11(11, '\x80');
  const std::string samples13 = "ABCDEFGHIJKLM";
  const std::string samples24 = "abcdefghijklmnopqrstuvwx";
  const ConvertCase cases[] = {
      {"16-bit: high byte plus 0x80, truncated",
       wave_16bit({0x0000, 0x00FF, 0x0100, -1, 0x7FFF, INT16_MIN, 0x1234, -0x1234}), 0,
       bytes({0x80, 0x80, 0x81, 0x7F, 0xFF, 0x00, 0x92, 0x6D}), 8, 0, 1},
      {"8-bit copied", wave_8bit(bytes({0x00, 0x7F, 0x80, 0xFF, 0x01})), 0,
       bytes({0x00, 0x7F, 0x80, 0xFF, 0x01}), 5, 0, 0},
      {"16-bit, odd data size: the last byte is never read",
       riff(fmt_chunk(1, 11025, 2, 16) + chunk("data", le16(0x0100) + le16(0x7F00) + "\x55")), 0,
       bytes({0x81, 0xFF}), 2, 0, 1},
      {"empty data chunk", wave_8bit(""), 0, "", 0, 0, 0},
      {"22050 Hz sets the rate flag", wave_8bit("ab", 22050), 0, "ab", 2, 1, 0},
      {"11025 Hz", wave_8bit("ab", 11025), 0, "ab", 2, 0, 0},
      {"8000 Hz", wave_8bit("ab", 8000), 0, "ab", 2, 0, 0},
      {"44100 Hz", wave_16bit({0x0100}, 44100), 0, bytes({0x81}), 1, 0, 1},
      {"other chunks and an 18-byte fmt",
       riff(chunk("LIST", "INFOx") + fmt_chunk(1, 22050, 1, 8, 2) + chunk("cue ", "1234") +
            chunk("data", "xyz")),
       0, "xyz", 3, 1, 0},
      {"PAD-12: 13 samples get 11 fill bytes", wave_8bit(samples13), 1, samples13 + fill11, 24, 0,
       0},
      {"PAD-12: 24 samples get none", wave_8bit(samples24), 1, samples24, 24, 0, 0},
      {"PAD-12: nothing added to an empty sound", wave_8bit(""), 1, "", 0, 0, 0},
      {"PAD-12 after 16-bit samples", wave_16bit({0x0100, 0x0200, 0x0300}), 1,
       bytes({0x81, 0x82, 0x83}) + std::string(9, '\x80'), 12, 0, 1},
      {"no PAD-12 without the directive", wave_8bit(samples13), 0, samples13, 13, 0, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    ScratchDir dir;
    dir.write("S.WAV", c.file);
    auto bench = std::make_unique<Bench>(c.pad_to_12);
    ASSERT_EQ(bench->load("S.WAV"), 0);
    EXPECT_EQ(bench->temp(), c.temp);
    const SlotRow& row = bench->run.slots.rows[0];
    EXPECT_EQ(row.length, c.length);
    EXPECT_EQ(row.rate_flag, c.rate_flag);
    EXPECT_EQ(row.is_16bit, c.is_16bit);
    EXPECT_EQ(bench->run.running_offset, 4752u + c.length);
    EXPECT_EQ(bench->machine.console.out + bench->machine.console.err, "");
  }
}

TEST(SoundLoader, LongSoundsPassThroughTheWorkBufferInChunksOf2048Samples) {
  ScratchDir dir;
  const int count = 5000;
  std::vector<int16_t> samples16;
  std::string samples8, expected;
  for (int i = 0; i < count; ++i) {
    samples16.push_back(static_cast<int16_t>((i % 256) << 8 | 0x5A));
    samples8 += static_cast<char>(i * 7);
    expected += static_cast<char>((i + 0x80) % 256);
  }
  dir.write("W16.WAV", wave_16bit(samples16));
  dir.write("W8.WAV", wave_8bit(samples8));

  auto bench = std::make_unique<Bench>();
  uint8_t* buffer = bench->run.work_buffer;
  std::fill(buffer, buffer + work_buffer_size, 0xAA);
  ASSERT_EQ(bench->load("W16.WAV"), 0);
  EXPECT_EQ(std::count(buffer + 4096, buffer + work_buffer_size, 0xAA), work_buffer_size - 4096);
  std::fill(buffer, buffer + work_buffer_size, 0xAA);
  ASSERT_EQ(bench->load("W8.WAV"), 0);
  EXPECT_EQ(std::count(buffer + 2048, buffer + work_buffer_size, 0xAA), work_buffer_size - 2048);

  EXPECT_EQ(bench->temp(), expected + samples8);
  EXPECT_EQ(rows_of(bench->run),
            "W16.WAV 4752+5000 rate=0 16bit=1\n"
            "W8.WAV 9752+5000 rate=0 16bit=0\n");
}

TEST(SoundLoader, RecordsEachSoundBehindTheLastAndAdvancesTheSlot) {
  ScratchDir dir;
  std::string long_name(130, 'L');
  std::filesystem::create_directory("sub");
  dir.write("a.wav", wave_8bit("0123456789"));
  dir.write("EMPTY.WAV", wave_8bit(""));
  dir.write("sub/Mixed.Wav", wave_16bit({0x0100, 0x0200, 0x0300}, 22050));
  dir.write(long_name, wave_8bit("x"));

  auto bench = std::make_unique<Bench>(1);
  // Names come in capitals; the files are found whatever case they have.
  for (const char* name : {"A.WAV", "EMPTY.WAV", "SUB\\MIXED.WAV", long_name.c_str()})
    ASSERT_EQ(bench->load(name), 0) << name;
  EXPECT_EQ(bench->run.current_slot, 4);
  EXPECT_EQ(rows_of(bench->run), "A.WAV 4752+12 rate=0 16bit=0\n"
                                 "EMPTY.WAV 4764+0 rate=0 16bit=0\n"
                                 "SUB\\MIXED.WAV 4764+12 rate=1 16bit=1\n" +
                                     long_name.substr(0, 119) + " 4776+12 rate=0 16bit=0\n");
  EXPECT_EQ(bench->run.running_offset, 4788u);
  EXPECT_EQ(bench->temp(), "0123456789\x80\x80" + bytes({0x81, 0x82, 0x83}) +
                               std::string(9, '\x80') + "x" + std::string(11, '\x80'));
}

TEST(SoundLoader, TheRunningOffsetSaturatesInsteadOfWrapping) {
  ScratchDir dir;
  dir.write("A.WAV", wave_8bit(std::string(32, 'a')));
  dir.write("B.WAV", wave_8bit(std::string(8, 'b')));
  auto bench = std::make_unique<Bench>();
  bench->run.running_offset = 0xFFFFFFF0u;
  ASSERT_EQ(bench->load("A.WAV"), 0);
  EXPECT_EQ(bench->run.running_offset, 0xFFFFFFFFu);
  ASSERT_EQ(bench->load("B.WAV"), 0);
  EXPECT_EQ(bench->run.running_offset, 0xFFFFFFFFu);
  EXPECT_EQ(rows_of(bench->run), "A.WAV 4294967280+32 rate=0 16bit=0\n"
                                 "B.WAV 4294967295+8 rate=0 16bit=0\n");
}

struct FailCase {
  const char* what;
  std::string file;  // written as "X.WAV"; none when empty
  const char* name;
  int code;
  std::string err;
  std::string temp;  // what the temporary file holds when the run ends
};

TEST(SoundLoader, EveryFailureEndsTheRunWithItsMessageAndCode) {
  std::vector<int16_t> samples(2100);
  for (size_t i = 0; i < samples.size(); ++i) samples[i] = static_cast<int16_t>((i % 128) << 8);
  std::string first_chunk;
  for (size_t i = 0; i < 2048; ++i) first_chunk += static_cast<char>(i % 128 + 0x80);
  std::string data16;
  for (int16_t s : samples) data16 += le16(static_cast<uint16_t>(s));
  const std::string fmt8 = fmt_chunk(1, 11025, 1, 8);

  const FailCase cases[] = {
      {"file missing", "", "NONE.WAV", 517, "NONE.WAV nicht gefunden!\n", ""},
      {"missing in a folder", "", "SUB\\NONE.WAV", 517, "SUB\\NONE.WAV nicht gefunden!\n", ""},
      {"empty name", "", "", 517, " nicht gefunden!\n", ""},
      {"too short", "RIFF", "X.WAV", 525, "Header-Problem bei File X.WAV (Code=-1)\n", ""},
      {"not WAVE", riff(fmt8, {}, "RIFF", "WAVX"), "X.WAV", 525,
       "Header-Problem bei File X.WAV (Code=-2)\n", ""},
      {"no fmt", riff(chunk("data", "ab")), "X.WAV", 525,
       "Header-Problem bei File X.WAV (Code=-3)\n", ""},
      {"no data", riff(fmt8), "X.WAV", 525, "Header-Problem bei File X.WAV (Code=-5)\n", ""},
      {"short fmt",
       riff(chunk("fmt ", fmt_body(1, 11025, 1, 8).substr(0, 14)) + chunk("data", "ab")), "X.WAV",
       525, "Header-Problem bei File X.WAV (Code=-4)\n", ""},
      {"data size with top bit", riff(fmt8 + chunk("data", "ab", 0xFFFFFFF0u)), "X.WAV", 525,
       "Header-Problem bei File X.WAV (Code=-16)\n", ""},
      {"8-bit stereo", riff(fmt_chunk(2, 11025, 2, 8) + chunk("data", "ab")), "X.WAV", 562,
       "Formatproblem bei File X.WAV (Align=2, bits=8)\n", ""},
      {"16-bit stereo", riff(fmt_chunk(2, 11025, 4, 16) + chunk("data", "abcd")), "X.WAV", 562,
       "Formatproblem bei File X.WAV (Align=4, bits=16)\n", ""},
      {"24-bit", riff(fmt_chunk(1, 11025, 3, 24) + chunk("data", "abc")), "X.WAV", 562,
       "Formatproblem bei File X.WAV (Align=3, bits=24)\n", ""},
      {"align and bits that do not match", riff(fmt_chunk(1, 11025, 1, 16) + chunk("data", "ab")),
       "X.WAV", 562, "Formatproblem bei File X.WAV (Align=1, bits=16)\n", ""},
      {"fields shown unsigned",
       riff(chunk("fmt ", fmt_body(1, 11025, 0xFFFF, 0x8000)) + chunk("data", "ab")), "X.WAV", 562,
       "Formatproblem bei File X.WAV (Align=65535, bits=32768)\n", ""},
      {"16-bit data that claims more than the file holds",
       riff(fmt_chunk(1, 11025, 2, 16) + chunk("data", data16, 6000)), "X.WAV", 582,
       "X.WAV: " + std::string(std::strerror(ENODATA)) + "\n", first_chunk},
      {"8-bit data that claims more than the file holds",
       riff(fmt8 + chunk("data", "abcd", 10)), "X.WAV", 605,
       "X.WAV: " + std::string(std::strerror(ENODATA)) + "\n", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    ScratchDir dir;
    std::filesystem::create_directory("sub");
    if (!c.file.empty()) dir.write("X.WAV", c.file);
    auto bench = std::make_unique<Bench>();
    EXPECT_EQ(bench->load(c.name), c.code);
    EXPECT_EQ(bench->machine.console.err, c.err);
    EXPECT_EQ(bench->machine.console.out, "");
    EXPECT_EQ(bench->machine.console.key_waits, 1);
    EXPECT_EQ(bench->temp(), c.temp);
    EXPECT_EQ(bench->run.current_slot, 0);
  }
}

#ifdef __GLIBC__
// A temporary file on a disk that is full after `limit` bytes.
struct FillingDisk {
  size_t limit;
  std::string written;

  // Takes what fits and reports the rest as a short write with the error
  // number set, which is what the standard library makes of a full disk.
  static ssize_t write(void* cookie, const char* data, size_t size) {
    auto* disk = static_cast<FillingDisk*>(cookie);
    size_t taken = std::min(size, disk->limit - disk->written.size());
    disk->written.append(data, taken);
    if (taken < size) errno = ENOSPC;
    return static_cast<ssize_t>(taken);
  }

  FileHandle open() {
    cookie_io_functions_t calls{nullptr, &FillingDisk::write, nullptr, nullptr};
    std::FILE* file = fopencookie(this, "wb", calls);
    std::setvbuf(file, nullptr, _IONBF, 0);
    return FileHandle(file);
  }
};
#endif

struct WriteFailCase {
  const char* what;
  std::string file;
  int pad_to_12;
  size_t limit;
  int code;
  std::string written;
};

TEST(SoundLoader, AFailedWriteToTheTemporaryFileEndsTheRun) {
#ifndef __GLIBC__
  GTEST_SKIP() << "needs a stream of our own making (glibc)";
#else
  const std::string samples13 = "ABCDEFGHIJKLM";
  const WriteFailCase cases[] = {
      {"16-bit samples", wave_16bit({0x0100, 0x0200}), 0, 0, 593, ""},
      {"8-bit samples", wave_8bit("abc"), 0, 1, 612, "a"},
      {"PAD-12 fill, none of it written", wave_8bit(samples13), 1, 13, 612, samples13},
      {"PAD-12 fill, part of it written", wave_8bit(samples13), 1, 20, 612,
       samples13 + std::string(7, '\x80')},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    ScratchDir dir;
    dir.write("X.WAV", c.file);
    FillingDisk disk{c.limit, ""};
    auto bench = std::make_unique<Bench>(c.pad_to_12);
    bench->run.temp_file = disk.open();
    EXPECT_EQ(bench->load("X.WAV"), c.code);
    EXPECT_EQ(bench->machine.console.err, "zirptmp.$$$: No space left on device\n");
    EXPECT_EQ(bench->machine.console.out, "");
    EXPECT_EQ(disk.written, c.written);
    bench->run.temp_file.reset();
  }
#endif
}

// Files written by a real audio tool, against the samples as the tool itself
// decodes them.
bool sox(const std::string& arguments) {
  return std::system(("sox " + arguments + " 2>/dev/null").c_str()) == 0;
}

TEST(SoundLoader, ReadsWhatSoxWritesSampleBySample) {
  if (std::system("sox --version >/dev/null 2>&1") != 0) GTEST_SKIP() << "sox is not installed";
  ScratchDir dir;
  ASSERT_TRUE(sox("-n -r 22050 -b 16 -c 1 -e signed-integer tone16.wav "
                  "synth 0.3 sine 440 sine 1234 vol 0.9"));
  ASSERT_TRUE(sox("tone16.wav -t raw -e signed-integer -b 16 -L tone16.raw"));
  ASSERT_TRUE(sox("-n -r 11025 -b 8 -c 1 -e unsigned-integer tone8.wav synth 0.25 square 300"));
  ASSERT_TRUE(sox("tone8.wav -t raw -e unsigned-integer -b 8 tone8.raw"));
  ASSERT_TRUE(sox("-n -r 11025 -b 16 -c 2 stereo.wav synth 0.01 sine 440"));
  ASSERT_TRUE(sox("-n -r 11025 -b 24 -c 1 deep.wav synth 0.01 sine 440"));

  std::string raw16 = dir.read("tone16.raw");
  std::string raw8 = dir.read("tone8.raw");
  ASSERT_GT(raw16.size(), 2 * 4096u);
  std::string expected;
  for (size_t i = 0; i + 1 < raw16.size(); i += 2) {
    auto sample = static_cast<uint16_t>(static_cast<uint8_t>(raw16[i]) |
                                        static_cast<uint8_t>(raw16[i + 1]) << 8);
    expected += static_cast<char>((sample >> 8) ^ 0x80);
  }
  expected += raw8;

  auto bench = std::make_unique<Bench>();
  ASSERT_EQ(bench->load("TONE16.WAV"), 0);
  ASSERT_EQ(bench->load("TONE8.WAV"), 0);
  std::string temp = bench->temp();
  ASSERT_EQ(temp.size(), expected.size());
  for (size_t i = 0; i < temp.size(); ++i)
    ASSERT_EQ(static_cast<uint8_t>(temp[i]), static_cast<uint8_t>(expected[i])) << "sample " << i;
  const auto& rows = bench->run.slots.rows;
  EXPECT_EQ(rows[0].length, raw16.size() / 2);
  EXPECT_EQ(rows[0].rate_flag, 1);
  EXPECT_EQ(rows[1].length, raw8.size());
  EXPECT_EQ(rows[1].rate_flag, 0);
  EXPECT_EQ(rows[1].off, 4752 + raw16.size() / 2);

  EXPECT_EQ(bench->load("STEREO.WAV"), 562);
  EXPECT_EQ(std::make_unique<Bench>()->load("DEEP.WAV"), 562);
  EXPECT_EQ(bench->machine.console.err, "Formatproblem bei File STEREO.WAV (Align=4, bits=16)\n");
}

}  // namespace
}  // namespace zirpton
