#include "tools/zirpton-inspect/inspect.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

#include "platform/fakes/line_log.h"
#include "tests/support/harness.h"
#include "tests/support/wave_builder.h"
#include "tools/flash-image/image_assembly_testing.h"
#include "tools/flash-image/text_format.h"

namespace zirpton::tools {
namespace {

using namespace zirpton::tools::testing;
using zirpton::testing::chunk;
using zirpton::testing::fmt_chunk;
using zirpton::testing::riff;
using zirpton::testing::ScratchDir;

std::string ramp(size_t count, int step, int seed) {
  std::string bytes;
  for (size_t i = 0; i < count; ++i) bytes += static_cast<char>((i * step + seed) & 0xFF);
  return bytes;
}

struct Inspection {
  int code;
  std::string out;
  std::string err;
};

Inspection inspect(const std::vector<std::string>& args) {
  fakes::FakeConsole console;
  console.is_utf8 = true;
  int code = inspect_main(console, args);
  return {code, console.out, console.err};
}

// Two sounds: 300 bytes at 11025 Hz in slots 0, 4, 8 and two AUTO slots;
// 201 bytes at 22050 Hz in slots 1, 5, 9 and one AUTO slot.
const std::string sound_a = ramp(300, 7, 1);
const std::string sound_b = ramp(201, 5, 2);

std::string sample_image() {
  return assemble_image({{1, 3}, {29, 6}},
                        {{0, 300, 4752, 0x01, 0, false},
                         {1, 201, 5052, 0x80, 0, true},
                         {4, 300, 4752, 0x05, 0, false},
                         {5, 201, 5052, 0x84, 0, true},
                         {8, 300, 4752, 0x09, 0, false},
                         {9, 201, 5052, 0x88, 0, true},
                         {132, 300, 4752, 9, 0, false},
                         {133, 201, 5052, 9, 0, true},
                         {141, 300, 4752, 0, 8, false}},
                        sound_a + sound_b);
}

// Windows does not open a directory as a file at all.
#ifdef _WIN32
constexpr int directory_error = EACCES;
#else
constexpr int directory_error = EISDIR;
#endif

// A path as the system writes it: "sounds/x" here, "sounds\\x" on Windows.
std::string native(const char* folder, const char* name) {
  return (std::filesystem::path(folder) / name).string();
}

const char table[] =
    "Slot Bank/Nr   Länge  Adresse      ptr    Sek. 22kHz ni                pi              "
    "Sound\n"
    "   0 0/0         300     4752 0x002400    0.03 -     01 weiter 1       00              #1\n"
    "   1 0/1         201     5052 0x002624    0.01 ja    80 Schleife 0     00              #2\n"
    "   4 0/4         300     4752 0x002400    0.03 -     05 weiter 5       00              #1\n"
    "   5 0/5         201     5052 0x002624    0.01 ja    84 Schleife 4     00              #2\n"
    "   8 0/8         300     4752 0x002400    0.03 -     09 weiter 9       00              #1\n"
    "   9 0/9         201     5052 0x002624    0.01 ja    88 Schleife 8     00              #2\n"
    " 132 1/0         300     4752 0x002400    0.03 -     09 auf Stufe 9    00              #1\n"
    " 133 1/1         201     5052 0x002624    0.01 ja    09 auf Stufe 9    00              #2\n"
    " 141 1/9         300     4752 0x002400    0.03 -     00                08 ab Stufe 8   #1\n"
    "\n"
    "Sounds:\n"
    "  #1 Adresse 4752, 300 Bytes, 0.03 s bei 11025 Hz, Slots 0, 4, 8, 132, 141\n"
    "  #2 Adresse 5052, 201 Bytes, 0.01 s bei 22050 Hz, Slots 1, 5, 9, 133\n";

std::string unsigned_samples(const std::string& stored) {
  std::string samples = stored;
  for (char& sample : samples) sample = static_cast<char>(sample - 0x80);
  return samples;
}

TEST(Inspect, ShowsTheImageAndWritesEachSoundOnceAsAWaveFile) {
  ScratchDir dir;
  std::string image = sample_image();
  dir.write("demo.img", output_file(image));
  uint32_t sum = sum_of(image);

  Inspection result = inspect({"demo.img", "--extract", "sounds"});
  EXPECT_EQ(result.out,
            "Seiten: 20 (2 CV-Seiten, 16 Kopfseiten, 2 Datenseiten)\n" +
                format_text("Prüfsumme: 0x%04X stimmt (Summe 0x%X)\n", sum & 0xFFFF, sum) +
                "CVs gesetzt: 1=3 29=6\n"
                "Slots mit Sound: 9, verschiedene Sounds: 2, 0.0 Sekunden\n"
                "\n" +
                table +
                "geschrieben: " + native("sounds", "slot-000.wav") + " (Slots 0, 4, 8, 132, 141)\n"
                "geschrieben: " + native("sounds", "slot-001.wav") + " (Slots 1, 5, 9, 133)\n");
  EXPECT_EQ(result.err, "");
  EXPECT_EQ(result.code, 0);
  EXPECT_EQ(dir.read("sounds/slot-000.wav"),
            riff(fmt_chunk(1, 11025, 1, 8) + chunk("data", unsigned_samples(sound_a))));
  // An odd data chunk is followed by its pad byte.
  EXPECT_EQ(dir.read("sounds/slot-001.wav"),
            riff(fmt_chunk(1, 22050, 1, 8) + chunk("data", unsigned_samples(sound_b)) + '\0'));
}

// The oldest layouts: the same two sounds in slots 0, 4, 8 and 1, 5, 9; no
// rate and no pi in their records.
std::vector<OldSlot> old_slots(uint32_t data_start) {
  uint32_t a = data_start, b = data_start + 300;
  return {{0, 300, a, 0x80}, {1, 204, b, 0x80}, {4, 300, a, 0x84},
          {5, 204, b, 0x84}, {8, 300, a, 0x88}, {9, 204, b, 0x88}};
}

const char table_3_3[] =
    "Slot Bank/Nr   Länge  Adresse      ptr    Sek. 22kHz ni                pi              "
    "Sound\n"
    "   0 0/0         300     1584 0x000C00    0.03 -     80 Schleife 0     -               #1\n"
    "   1 0/1         204     1884 0x000E24    0.02 -     80 Schleife 0     -               #2\n"
    "   4 0/4         300     1584 0x000C00    0.03 -     84 Schleife 4     -               #1\n"
    "   5 0/5         204     1884 0x000E24    0.02 -     84 Schleife 4     -               #2\n"
    "   8 0/8         300     1584 0x000C00    0.03 -     88 Schleife 8     -               #1\n"
    "   9 0/9         204     1884 0x000E24    0.02 -     88 Schleife 8     -               #2\n"
    "\n"
    "Sounds:\n"
    "  #1 Adresse 1584, 300 Bytes, 0.03 s bei 11025 Hz, Slots 0, 4, 8\n"
    "  #2 Adresse 1884, 204 Bytes, 0.02 s bei 11025 Hz, Slots 1, 5, 9\n";

const char table_2_02[] =
    "Slot Bank/Nr   Länge  Adresse      ptr    Sek. 22kHz ni                pi              "
    "Sound\n"
    "   0 0/0         300      792 0x000600    0.03 -     80 Schleife 0     -               #1\n"
    "   1 0/1         204     1092 0x000824    0.02 -     80 Schleife 0     -               #2\n"
    "   4 0/4         300      792 0x000600    0.03 -     84 Schleife 4     -               #1\n"
    "   5 0/5         204     1092 0x000824    0.02 -     84 Schleife 4     -               #2\n"
    "   8 0/8         300      792 0x000600    0.03 -     88 Schleife 8     -               #1\n"
    "   9 0/9         204     1092 0x000824    0.02 -     88 Schleife 8     -               #2\n"
    "\n"
    "Sounds:\n"
    "  #1 Adresse 792, 300 Bytes, 0.03 s bei 11025 Hz, Slots 0, 4, 8\n"
    "  #2 Adresse 1092, 204 Bytes, 0.02 s bei 11025 Hz, Slots 1, 5, 9\n";

struct LayoutCase {
  const char* layout;
  std::string image;
  std::string pages;
  std::string table;
};

TEST(Inspect, ReadsTheLayoutsOfTheOldestProgramsWhenNamed) {
  std::string data = sound_a + ramp(204, 5, 2);
  const LayoutCase cases[] = {
      {"3.3", assemble_image_3_3({{1, 3}}, old_slots(1584), data),
       "Seiten: 8 (2 CV-Seiten, 4 Kopfseiten, 2 Datenseiten)\n", table_3_3},
      {"2.02", assemble_image_2_02({{1, 3}}, old_slots(792), data),
       "Seiten: 5 (2 Kopfseiten, 1 CV-Seite, 2 Datenseiten)\n", table_2_02},
  };
  for (const LayoutCase& shape : cases) {
    SCOPED_TRACE(shape.layout);
    ScratchDir dir;
    dir.write("old.img", output_file(shape.image));
    uint32_t sum = sum_of(shape.image);
    Inspection result = inspect({"old.img", "--layout", shape.layout});
    EXPECT_EQ(result.out,
              shape.pages +
                  format_text("Prüfsumme: 0x%04X stimmt (Summe 0x%X)\n", sum & 0xFFFF, sum) +
                  "CVs gesetzt: 1=3\n"
                  "Slots mit Sound: 6, verschiedene Sounds: 2, 0.0 Sekunden\n"
                  "\n" +
                  shape.table);
    EXPECT_EQ(result.err, "");
    EXPECT_EQ(result.code, 0);
  }
}

// Read as 3.3, the CV page of 2.02 stands where the first header page is
// expected: its bytes 0xFF make no record of 3.3.
TEST(Inspect, AnImageReadWithTheWrongLayoutShowsAFewProblemsAndCountsTheRest) {
  ScratchDir dir;
  dir.write("old.img",
            output_file(assemble_image_2_02({}, old_slots(792), std::string(1000, '\x01'))));
  Inspection as_3_3 = inspect({"old.img", "--layout", "3.3"});
  std::string lines;
  for (int slot = 0; slot < 10; ++slot)
    lines += format_text(
        "old.img: Slot %d: ptr=0xFFFFFF zeigt auf Position 511 einer Seite (höchstens 263)\n",
        slot);
  EXPECT_EQ(as_3_3.out, "");
  EXPECT_EQ(as_3_3.err, lines +
                            "old.img: 221 weitere Fehler im Kopf; ist es ein Abbild eines anderen "
                            "Aufbaus (--layout)?\n");
  EXPECT_EQ(as_3_3.code, 1);
}

TEST(Inspect, AWrongChecksumIsShownAndEndsWithCode1) {
  ScratchDir dir;
  std::string image = sample_image();
  uint32_t sum = sum_of(image);
  std::string file = output_file(image);
  file[file.size() - 2] = static_cast<char>(file[file.size() - 2] ^ 0x01);
  dir.write("bad.img", file);
  Inspection result = inspect({"bad.img"});
  EXPECT_EQ(result.out,
            "Seiten: 20 (2 CV-Seiten, 16 Kopfseiten, 2 Datenseiten)\n" +
                format_text("Prüfsumme: 0x%04X in der Datei, 0x%04X berechnet: falsch\n",
                            (sum & 0xFFFF) ^ 0x01, sum & 0xFFFF) +
                "CVs gesetzt: 1=3 29=6\n"
                "Slots mit Sound: 9, verschiedene Sounds: 2, 0.0 Sekunden\n"
                "\n" +
                table);
  EXPECT_EQ(result.code, 1);
}

struct BadImage {
  const char* name;
  std::string bytes;
  std::string err;
  int code;
};

TEST(Inspect, MalformedImagesGiveAClearMessageAndANonzeroCode) {
  std::string empty_header = assemble_image({}, {}, "");
  std::string beyond = output_file(assemble_image({}, {{7, 300, 4752, 0x87, 0, false}}, ""));
  std::string too_long =
      output_file(assemble_image({}, {{3, 265, 4752, 0x83, 0, false}}, std::string(10, '\x01')));
  std::string into_header =
      output_file(assemble_image({}, {{0, 10, 600, 0x80, 0, false}}, std::string(10, '\x01')));
  std::string off_page = output_file(empty_header + std::string(264, '\x01'));
  off_page[528 + 16 + 2] = 0x2C;  // slot 2: position 300 of page 18
  off_page[528 + 16 + 3] = 0x25;
  off_page[528 + 16 + 0] = static_cast<char>(0xF6);  // length 10
  off_page[528 + 16 + 1] = static_cast<char>(0xFF);
  off_page[528 + 16 + 6] = static_cast<char>(0xFF);
  const BadImage cases[] = {
      {"empty file", "",
       "x.img: zu kurz: 0 Bytes, ein Abbild hat mindestens 4754 (CV-Seite, Kopf, Prüfsumme)\n", 1},
      {"header without checksum", empty_header,
       "x.img: zu kurz: 4752 Bytes, ein Abbild hat mindestens 4754 (CV-Seite, Kopf, "
       "Prüfsumme)\n",
       1},
      {"not whole pages", output_file(empty_header) + "\x01",
       "x.img: 4755 Bytes sind nicht ganze Seiten zu 264 Bytes und 2 Prüfsummenbytes\n", 1},
      {"a sound in an image without sound data", beyond,
       "x.img: Slot 7: 300 Bytes ab Adresse 4752 liegen nicht in den Sounddaten (das Abbild "
       "hat keine)\n",
       1},
      {"a sound longer than the data", too_long,
       "x.img: Slot 3: 265 Bytes ab Adresse 4752 liegen nicht in den Sounddaten (Adresse 4752 "
       "bis 5015)\n",
       1},
      {"a sound in the header", into_header,
       "x.img: Slot 0: 10 Bytes ab Adresse 600 liegen nicht in den Sounddaten (Adresse 4752 "
       "bis 5015)\n",
       1},
      {"a position past the page end", off_page,
       "x.img: Slot 2: ptr=0x00252C zeigt auf Position 300 einer Seite (höchstens 263)\n", 1},
  };
  for (const BadImage& bad : cases) {
    SCOPED_TRACE(bad.name);
    ScratchDir dir;
    dir.write("x.img", bad.bytes);
    Inspection result = inspect({"x.img", "--extract", "out"});
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err, bad.err);
    EXPECT_EQ(result.code, bad.code);
    EXPECT_FALSE(dir.exists("out"));
  }
}

TEST(Inspect, AMissingFileOrNoImageNamedEndsWithCode2) {
  ScratchDir dir;
  Inspection missing = inspect({"nope.img"});
  EXPECT_EQ(missing.err, "nope.img: No such file or directory\n");
  EXPECT_EQ(missing.code, 2);
  std::filesystem::create_directory("folder.img");
  Inspection folder = inspect({"folder.img"});
  EXPECT_EQ(folder.err, std::string("folder.img: ") + std::strerror(directory_error) + "\n");
  EXPECT_EQ(folder.code, 2);
  Inspection bare = inspect({"--extract", "out"});
  const char usage[] =
      "Aufruf: zirpton-inspect ABBILD [--layout 528|132|3.3|2.02] [--extract VERZEICHNIS]\n";
  EXPECT_EQ(bare.err, usage);
  EXPECT_EQ(bare.code, 2);
  Inspection unknown_layout = inspect({"x.img", "--layout", "6.6"});
  EXPECT_EQ(unknown_layout.err, usage);
  EXPECT_EQ(unknown_layout.code, 2);
}

}  // namespace
}  // namespace zirpton::tools
