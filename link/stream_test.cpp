#include "link/stream.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "driver/fatal_exit.h"
#include "driver/run.h"
#include "link/open_port.h"
#include "platform/fakes/line_log.h"
#include "releases/release.h"
#include "tests/support/expected_stream.h"
#include "tests/support/harness.h"

namespace zirpton {
namespace {

using testing::Bytes;
using testing::checksum_line;
using testing::header_end;
using testing::in_page_pairs;
using testing::page;
using testing::port_transcript;
using testing::sum_of;
using testing::with_checksum;
constexpr int returned = -1;         // send_image came back without a fatal end

// A sound as the loader leaves it in the slot table. A slot with `copy_of`
// shares the file of that earlier slot, as rows with the same name do.
struct Sound {
  int slot;
  uint32_t length = 0;
  uint8_t rate_flag = 0;
  uint8_t ni = 0;
  uint8_t pi = 0;
  int copy_of = -1;
  const char* name = "A.WAV";
};

// What the earlier phases leave for the stream: the port open on COM3, a
// 16-MBit flash, the slot table, the temporary file with the sounds in
// order, the list file still open and the CV page at the start of the
// work buffer.
struct Bench {
  testing::ScratchDir dir;
  fakes::FakeMachine machine;
  zirpton::Run run{release_7_0(), machine.platform};
  std::string data;  // the temporary file

  Bench(const std::vector<Sound>& sounds, bool file_mode, bool verbose = false) {
    open_port(run, 3);
    machine.log.events.clear();
    run.settings.port_number = 3;
    run.settings.verbose = verbose;
    run.flash.FLASHSIZE = 0x210000;
    run.flash.group_count = 16;
    run.flash.slot_count = 528;
    run.flash.header_bytes = static_cast<int>(header_end);
    run.running_offset = header_end;
    for (size_t k = 0; k < sounds.size(); ++k) place(sounds[k], static_cast<int>(k));
    dir.write(temp_file_name, data);
    dir.write("liste.txt", "**16MBit\n**4.Generation\n0: A.WAV\n");
    run.list_file = open_text_for_reading("liste.txt");
    std::memset(run.work_buffer, 0xFF, 528);
    run.work_buffer[0] = 3;      // CV 1
    run.work_buffer[7] = 0;      // CV 8
    run.work_buffer[28] = 6;     // CV 29
    run.work_buffer[255] = 0x80; // CV 256
    if (file_mode) use_output_file("out.bin", create_binary("out.bin"));
  }

  void place(const Sound& sound, int k) {
    SlotRow& row = run.slots.rows[sound.slot];
    if (sound.copy_of >= 0) {
      row = run.slots.rows[sound.copy_of];
    } else {
      std::snprintf(row.name, sizeof row.name, "%s", sound.name);
      row.length = sound.length;
      row.off = run.running_offset;
      row.rate_flag = sound.rate_flag;
      run.running_offset += sound.length;
      for (uint32_t j = 0; j < sound.length; ++j)
        data += static_cast<char>((k * 37 + static_cast<int>(j) * 11 + 3) & 0xFF);
    }
    row.ni = sound.ni;
    row.pi = sound.pi;
  }

  void use_output_file(const std::string& name, FileHandle file) {
    run.settings.file_mode = true;
    run.output_name = name;
    run.output_file = std::move(file);
    run.channel.file_mode = true;
    run.channel.output_file = run.output_file.get();
  }

  int stream() {
    try {
      send_image(run);
    } catch (const FatalExit& end) {
      return end.code;
    }
    return returned;
  }

  Bytes output() {
    run.output_file.reset();
    run.channel.output_file = nullptr;
    std::string content = dir.read("out.bin");
    return {content.begin(), content.end()};
  }
};

// The image as the layout lays it out, built here from the slot table and
// the temporary file: CV page, one 8-byte record per slot, the samples made
// signed, the last page completed with zeros.
Bytes expected_image(const zirpton::Run& run, const std::string& data) {
  Bytes image(run.work_buffer, run.work_buffer + 528);
  for (const SlotRow& row : run.slots.rows) {
    const uint32_t n = ~row.length + 1;
    const uint32_t a = row.off / 264 * 512 + row.off % 264;
    const uint32_t last = (uint32_t{row.pi} << 1) | (row.rate_flag ? 0u : 1u);
    for (uint32_t value : {n, n >> 8, a, a >> 8, a >> 16, uint32_t{row.ni}, n >> 16, last})
      image.push_back(static_cast<uint8_t>(value & 0xFF));
  }
  for (char sample : data) image.push_back(static_cast<uint8_t>(sample) ^ 0x80);
  while (image.size() % page != 0) image.push_back(0x00);
  return image;
}

struct ImageCase {
  const char* what;
  std::vector<Sound> sounds;
  const char* out;  // standard output without the checksum line
  const char* err;
};

std::vector<ImageCase> image_cases() {
  return {
      {"no sound at all", {}, "  16 von 8190 Pages werden programmiert\n", ""},
      {"one byte of sound data",
       {{.slot = 0, .length = 1, .ni = 0x05}},
       "  16 von 8190 Pages werden programmiert\n  16\n",
       ""},
      {"data ending on a page boundary",
       {{.slot = 0, .length = 300}, {.slot = 1, .length = 228, .name = "B.WAV"}},
       "  18 von 8190 Pages werden programmiert\n",
       "  17\r  18\r"},
      {"a sound in every bank, one slot sharing a file, a pi with bit 7",
       {{.slot = 0, .length = 300, .ni = 0x01},
        {.slot = 132, .length = 264, .name = "B.WAV"},
        {.slot = 264, .length = 100, .ni = 0x85, .pi = 0x85, .name = "C.WAV"},
        {.slot = 396, .length = 400, .pi = 0x03, .name = "D.WAV"},
        {.slot = 500, .copy_of = 0}},
       "  20 von 8190 Pages werden programmiert\n  20\n",
       "  17\r  18\r  19\r  20\r"},
      {"a 22050 Hz sound",
       {{.slot = 7, .length = 1000, .rate_flag = 1, .ni = 0x07, .pi = 0x07}},
       "  19 von 8190 Pages werden programmiert\n  19\n",
       "  17\r  18\r  19\r"},
  };
}

size_t data_pages(const std::string& data) { return (data.size() + page - 1) / page; }

TEST(Stream, OutputFileHoldsTheImagePagesAndTheChecksum) {
  for (const auto& c : image_cases()) {
    SCOPED_TRACE(c.what);
    auto bench = std::make_unique<Bench>(c.sounds, true);
    const Bytes image = expected_image(bench->run, bench->data);
    ASSERT_EQ(bench->stream(), returned);
    const Bytes file = bench->output();
    EXPECT_EQ(file, with_checksum(image, sum_of(image)));
    EXPECT_EQ(file.size(), page * (2 + 16 + data_pages(bench->data)) + 2);
    EXPECT_EQ(bench->machine.console.out, c.out + checksum_line(sum_of(image)));
    EXPECT_EQ(bench->machine.console.err, c.err);
    EXPECT_EQ(bench->machine.log.transcript(), "");
    EXPECT_FALSE(bench->dir.exists(temp_file_name));
    EXPECT_EQ(bench->run.list_file, nullptr);
  }
}

TEST(Stream, PortRunSendsPagePairsThenEndByteChecksumAndLinePulses) {
  for (const auto& c : image_cases()) {
    SCOPED_TRACE(c.what);
    auto bench = std::make_unique<Bench>(c.sounds, false);
    const Bytes image = expected_image(bench->run, bench->data);
    ASSERT_EQ(bench->stream(), returned);
    EXPECT_EQ(bench->machine.log.transcript(), port_transcript(in_page_pairs(image)));
    EXPECT_EQ(bench->machine.console.out, c.out + checksum_line(sum_of(image)));
    EXPECT_EQ(bench->machine.console.err, c.err);
    EXPECT_EQ(bench->machine.console.key_waits, 0);
    EXPECT_FALSE(bench->dir.exists(temp_file_name));
  }
}

TEST(Stream, VerboseListsHeaderPagesAndTheSlotsWithSound) {
  Bench bench({{.slot = 0, .length = 1, .ni = 0x05},
               {.slot = 133, .length = 300, .rate_flag = 1, .ni = 0x85, .pi = 3, .name = "B.WAV"},
               {.slot = 527, .copy_of = 0}},
              true, true);
  const Bytes image = expected_image(bench.run, bench.data);
  ASSERT_EQ(bench.stream(), returned);
  EXPECT_EQ(bench.machine.console.out,
            "   0 ( 0): A.WAV 1 1290  so=0x1290 l=0xffffffff ptr=0x2400 ni=05 pi=00\n"
            "i= 33 (21), page=1\n"
            "i= 66 (42), page=2\n"
            "i= 99 (63), page=3\n"
            "i=132 ( 0), page=4\n"
            " 133 ( 1): B.WAV 22kHz 12c 1291  so=0x1291 l=0xfffffed4 ptr=0x2401 ni=85 pi=03\n"
            "i=165 (21), page=5\n"
            "i=198 (42), page=6\n"
            "i=231 (63), page=7\n"
            "i=264 ( 0), page=8\n"
            "i=297 (21), page=9\n"
            "i=330 (42), page=10\n"
            "i=363 (63), page=11\n"
            "i=396 ( 0), page=12\n"
            "i=429 (21), page=13\n"
            "i=462 (42), page=14\n"
            "i=495 (63), page=15\n"
            " 527 (83): A.WAV 1 1290  so=0x1290 l=0xffffffff ptr=0x2400 ni=00 pi=00\n"
            "  17 von 8190 Pages werden programmiert\n"
            "  17\n" +
                checksum_line(sum_of(image)));
  EXPECT_EQ(bench.machine.console.err, "  17\r");
  EXPECT_EQ(bench.output(), with_checksum(image, sum_of(image)));
}

TEST(Stream, ALengthBeyond24BitsEndsTheRunAtItsRecord) {
  struct Case {
    bool verbose;
    const char* out;
  } cases[] = {
      {false, "BIG.WAV  L\x84nge zu gro\xE1: 16777216\n"},
      {true,
       "   0 ( 0): A.WAV 1 1290  so=0x1290 l=0xffffffff ptr=0x2400 ni=00 pi=00\n"
       "i= 33 (21), page=1\n"
       "  40 (28): BIG.WAV 1000000 1291 BIG.WAV  L\x84nge zu gro\xE1: 16777216\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.verbose);
    Bench bench({{.slot = 0, .length = 1}}, true, c.verbose);
    SlotRow& big = bench.run.slots.rows[40];
    std::snprintf(big.name, sizeof big.name, "BIG.WAV");
    big.length = 0x1000000;
    big.off = 4753;
    // Without an address a slot is neither listed nor checked.
    SlotRow& unplaced = bench.run.slots.rows[10];
    std::snprintf(unplaced.name, sizeof unplaced.name, "NULL.WAV");
    unplaced.length = 0x2000000;
    const Bytes image = expected_image(bench.run, bench.data);

    EXPECT_EQ(bench.stream(), 77);
    EXPECT_EQ(bench.machine.console.out, c.out);
    EXPECT_EQ(bench.machine.console.err, "");
    EXPECT_EQ(bench.machine.console.key_waits, 1);
    EXPECT_EQ(bench.output(), Bytes(image.begin(), image.begin() + 528 + 40 * 8));
    EXPECT_TRUE(bench.dir.exists(temp_file_name));
  }
}

TEST(Stream, ATemporaryFileThatCannotBeReadEndsTheRunWithCode2) {
  struct Case {
    const char* what;
    bool directory;
    const char* out;
    int error;
  } cases[] = {
      {"missing", false, "", ENOENT},
      {"a directory", true, "", EISDIR},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Bench bench({{.slot = 0, .length = 1}}, true);
    std::filesystem::remove(temp_file_name);
    if (c.directory) std::filesystem::create_directory(temp_file_name);
    const Bytes image = expected_image(bench.run, bench.data);

    EXPECT_EQ(bench.stream(), 2);
    EXPECT_EQ(bench.machine.console.out, c.out);
    EXPECT_EQ(bench.machine.console.err, std::string("zirptmp.$$$: ") + std::strerror(c.error) + "\n");
    EXPECT_EQ(bench.machine.console.key_waits, 1);
    EXPECT_EQ(bench.output(), Bytes(image.begin(), image.begin() + header_end));
    EXPECT_EQ(bench.run.list_file, nullptr);
    EXPECT_EQ(bench.dir.exists(temp_file_name), c.directory);
  }
}

TEST(Stream, AnOutputFileThatCannotTakeTheImageEndsTheRunBeforeTheChecksumLine) {
  Bench bench({{.slot = 0, .length = 300}, {.slot = 132, .length = 700, .name = "B.WAV"}}, false);
  bench.use_output_file("/dev/full", FileHandle(std::fopen("/dev/full", "wb")));
  ASSERT_NE(bench.run.output_file, nullptr);

  EXPECT_EQ(bench.stream(), 2);
  EXPECT_EQ(bench.machine.console.out, "  19 von 8190 Pages werden programmiert\n  19\n");
  EXPECT_EQ(bench.machine.console.err,
            std::string("  17\r  18\r  19\r/dev/full: ") + std::strerror(ENOSPC) + "\n");
  EXPECT_EQ(bench.machine.console.key_waits, 1);
  EXPECT_EQ(bench.machine.log.transcript(), "");
}

TEST(Stream, FailedPortWritesEndTheRunOnceTheLineIsHandedBack) {
  // Write calls count from the six of the handshake: 7 is the first page
  // command's first byte, 707 a byte of the first header page.
  Bench bench({{.slot = 0, .length = 1}}, false);
  bench.machine.ports.port->failing_writes = {7, 707};
  bench.machine.ports.port->error = 5;
  const Bytes image = expected_image(bench.run, bench.data);

  EXPECT_EQ(bench.stream(), 16);
  EXPECT_EQ(bench.machine.log.transcript(), port_transcript(in_page_pairs(image), {0, 700}));
  EXPECT_EQ(bench.machine.console.out,
            "  16 von 8190 Pages werden programmiert\n  16\n" + checksum_line(sum_of(image)));
  EXPECT_EQ(bench.machine.console.err,
            "WriteFile returns 5\n"
            "WriteFile returns 5\n"
            "2 Schreibzugriffe auf COM3 sind fehlgeschlagen: der Empf\x84nger ist nicht "
            "vollst\x84ndig programmiert!\n");
  EXPECT_EQ(bench.machine.console.key_waits, 1);
  EXPECT_FALSE(bench.dir.exists(temp_file_name));
}

}  // namespace
}  // namespace zirpton
