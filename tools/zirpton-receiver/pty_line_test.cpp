// The receiver program on its pseudo-terminal, fed the way the zirpton
// program feeds it: open the named device, write, close.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "driver/messages.h"
#include "tests/support/harness.h"
#include "tests/support/process.h"
#include "tools/flash-image/image_assembly_testing.h"
#include "tools/flash-image/text_format.h"
#include "tools/zirpton-demo-sounds/demo_sounds.h"

namespace zirpton::tools {
namespace {

using namespace zirpton::tools::testing;

struct Receiver {
  pid_t pid = -1;
  int out = -1;
};

Receiver start_receiver(const std::vector<std::string>& options) {
  int pipe_ends[2];
  if (pipe(pipe_ends) != 0) return {};
  std::string exe = zirpton::testing::bin_path("zirpton-receiver").string();
  pid_t pid = fork();
  if (pid == 0) {
    dup2(pipe_ends[1], STDOUT_FILENO);
    close(pipe_ends[0]);
    setenv("LC_ALL", "C", 1);
    std::vector<std::string> args = options;
    std::vector<char*> argv{exe.data()};
    for (auto& arg : args) argv.push_back(arg.data());
    argv.push_back(nullptr);
    execv(exe.c_str(), argv.data());
    _exit(127);
  }
  close(pipe_ends[1]);
  return {pid, pipe_ends[0]};
}

// Up to and with the next line end; empty after 5 s without one.
std::string read_line(int fd) {
  std::string line;
  char byte = 0;
  pollfd ready{fd, POLLIN, 0};
  while (poll(&ready, 1, 5000) > 0 && read(fd, &byte, 1) == 1) {
    line += byte;
    if (byte == '\n') break;
  }
  return line;
}

std::string read_rest(int fd) {
  std::string rest;
  char buffer[4096];
  ssize_t got;
  while ((got = read(fd, buffer, sizeof buffer)) > 0) rest.append(buffer, static_cast<size_t>(got));
  close(fd);
  return rest;
}

int wait_exit(pid_t pid) {
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

void send_to(const std::string& device, const std::string& bytes) {
  int fd = open(device.c_str(), O_RDWR | O_NOCTTY);
  ASSERT_GE(fd, 0) << device;
  for (size_t at = 0; at < bytes.size();) {
    ssize_t done = write(fd, bytes.data() + at, bytes.size() - at);
    ASSERT_GT(done, 0);
    at += static_cast<size_t>(done);
  }
  close(fd);
}

TEST(ReceiverProgram, RebuildsTheImageThatArrivesOnItsLinkedDevice) {
  zirpton::testing::ScratchDir dir;
  std::string image = assemble_image({{29, 6}}, {{0, 100, 4752, 0x80, 0, false}},
                                     std::string(100, '\x0A'));  // line feeds stay as they are
  std::string stream = pair_stream(handshake + ascending_entry(), image);
  std::string link = (dir.path() / "com1").string();
  Receiver receiver = start_receiver({"--link", link, "--port", "3", "--image", "got.img"});
  ASSERT_EQ(read_line(receiver.out), "ZIRPTON_COM3=" + link + "\n");
  send_to(link, stream);
  uint32_t sum = sum_of(image);
  char checksum_line[120];
  std::snprintf(checksum_line, sizeof checksum_line,
                "Prüfsumme: 0x%04X empfangen, 0x%04X berechnet (Summe 0x%X)\n", sum & 0xFFFF,
                sum & 0xFFFF, sum);
  std::string expected = "Empfangen: " + std::to_string(stream.size()) +
                         " Bytes\n"
                         "Handshake: 24 80 11 17 04 A6\n"
                         "Einstieg: 0xF3 bis 0xFF\n"
                         "Rahmung: Seitenpaare (erstes Kommando 76 FF FF 23)\n"
                         "Seiten: 20, davon 1 Ergänzungsseite mit 0x00\n"
                         "Aufbau: 528 (528 Slots zu 8 Bytes, 16 Kopfseiten nach der CV-Seite)\n" +
                         std::string(checksum_line) +
                         "CVs gesetzt: 29=6\n"
                         "Slots mit Sound: 1, verschiedene Sounds: 1, 0.0 Sekunden\n"
                         "Ergebnis: Abbild vollständig, Prüfsumme stimmt\n"
                         "Abbild geschrieben: got.img (5018 Bytes)\n";
  EXPECT_EQ(read_rest(receiver.out), to_code_page_850(expected.c_str()));
  EXPECT_EQ(wait_exit(receiver.pid), 0);
  EXPECT_EQ(dir.read("got.img"), output_file(image));
  EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(link)));
}

TEST(ReceiverProgram, EndsAfterItsIdleTimeWhenOnlyTheHandshakeCame) {
  zirpton::testing::ScratchDir dir;
  Receiver receiver = start_receiver({"--timeout", "1", "--image", "got.img"});
  std::string line = read_line(receiver.out);
  ASSERT_EQ(line.rfind("ZIRPTON_COM1=/dev/pts/", 0), 0u) << line;
  send_to(line.substr(13, line.size() - 14), handshake);
  EXPECT_EQ(read_rest(receiver.out),
            "Empfangen: 6 Bytes\nHandshake: 24 80 11 17 04 A6\nEinstieg: keiner\n"
            "Hinweis: nur der Handshake kam an, wie bei einem Lauf mit Ausgabedatei\n"
            "Fehler: Datenstrom endet nach 6 Bytes, erwartet Reset-Byte 0x41, Burst 0x55 "
            "oder Einstieg 0xF3 oder 0x17\n");
  EXPECT_EQ(wait_exit(receiver.pid), 1);
  EXPECT_FALSE(dir.exists("got.img"));
}

// A layout brings the framing of its programs; another one named besides is
// refused before any device is made.
TEST(ReceiverProgram, OptionsThatContradictEachOtherAreRefused) {
  zirpton::testing::ScratchDir dir;
  const std::vector<std::string> refused[] = {
      {"--layout", "6.6"},
      {"--layout", "3.3", "--framing", "pairs"},
      {"--framing", "pairs", "--layout", "2.02"},
      {"--layout", "132", "--framing", "pairs"},
  };
  for (const auto& args : refused) {
    SCOPED_TRACE(args[1]);
    auto run = zirpton::testing::run_program_file("zirpton-receiver", args, {}, dir.path());
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err,
              "Aufruf: zirpton-receiver [--link PFAD] [--port N] [--timeout SEKUNDEN] "
              "[--image DATEI]\n"
              "                         [--framing pairs|single|auto] "
              "[--layout 528|132|3.3|2.02|auto]\n");
  }
}

// The independent check on the programming stream: the example, sent by the
// real program as a port run, must come out at the receiver as exactly the
// image of a file-output run. Until the program writes images it is skipped.
void write_demo_project(const zirpton::testing::ScratchDir& dir) {
  for (const DemoSoundFile& file : demo_sounds()) dir.write(file.name, file.wave);
  for (const char* name : {"demo.lst", "cv.txt"})
    dir.write(name, zirpton::testing::read_file(std::string(ZIRPTON_SOURCE_DIR) +
                                                "/examples/demo/" + name));
}

// The oldest programs read a simpler list: entries fill the slots in file
// order, only the first line may set the flash size.
const char old_list[] =
    "**16MBit\n"
    "; Slots 0, 4 und 8 gleich belegt\n"
    "00: HORN.WAV\n01: BELL.WAV\n02: ---\n03: STEAM.WAV\n"
    "04: HORN.WAV\n05: BELL.WAV\n06: ---\n07: STEAM.WAV\n"
    "08: HORN.WAV\n09: BELL.WAV\n10: ---\n11: STEAM.WAV\n"
    "12: IDLE.WAV\n";

void write_old_project(const zirpton::testing::ScratchDir& dir) {
  write_demo_project(dir);
  dir.write("old.lst", old_list);
}

// What the receiver said and rebuilt.
struct ReceivedRun {
  std::string report, received_image;
  int receiver_status;
};

// A port run of `program` with `args` in `dir` against the receiver.
ReceivedRun port_run_against_receiver(const zirpton::testing::ScratchDir& dir,
                                      const std::string& program,
                                      const std::vector<std::string>& args) {
  std::string link = (dir.path() / "com1").string();
  Receiver receiver = start_receiver({"--link", link, "--image", "got.img"});
  EXPECT_EQ(read_line(receiver.out), "ZIRPTON_COM1=" + link + "\n");
  auto port_run =
      zirpton::testing::run_program_file(program, args, {{"ZIRPTON_COM1", link}}, dir.path());
  EXPECT_EQ(port_run.status, 0) << port_run.out << port_run.err;
  ReceivedRun received{read_rest(receiver.out), "", wait_exit(receiver.pid)};
  if (dir.exists("got.img")) received.received_image = dir.read("got.img");
  return received;
}

// A port run of `program` with `list` against the receiver, beside the
// image of the program's own file-output run, in which the port sees only
// `line_in_file_run`.
struct ComparedRun {
  std::string file_image;
  ReceivedRun received;
};

ComparedRun run_against_receiver(const std::string& program,
                                 void (*write_project)(const zirpton::testing::ScratchDir&),
                                 const std::string& list, const std::string& line_in_file_run) {
  zirpton::testing::ScratchDir dir;
  write_project(dir);
  dir.write("line.bin", "");
  auto file_run = zirpton::testing::run_program_file(
      program, {"r1", list, "cv.txt", "file.img"},
      {{"ZIRPTON_COM1", (dir.path() / "line.bin").string()}}, dir.path());
  EXPECT_EQ(file_run.status, 0) << file_run.out << file_run.err;
  EXPECT_EQ(dir.read("line.bin"), line_in_file_run);
  ReceivedRun received = port_run_against_receiver(dir, program, {"r1", list, "cv.txt"});
  return {dir.read("file.img"), received};
}

ComparedRun run_against_receiver(const std::string& program) {
  return run_against_receiver(program, write_demo_project, "demo.lst", handshake);
}

TEST(ReceiverProgram, APortRunOfTheExampleRebuildsExactlyTheFileOutputImage) {
  ComparedRun run = run_against_receiver("zirpton");
  const std::string& file = run.file_image;
  ASSERT_GT(file.size(), 4754u);

  // Pages and checksum from the file; the rest from the list: sounds in 7
  // slots of bank 0 and 131 of each AUTO bank, 8 files, 35277 bytes.
  std::string image = file.substr(0, file.size() - 2);
  size_t pages = image.size() / 264;
  size_t pairs = (pages + 1) / 2;
  uint32_t sum = sum_of(image);
  std::string expected = format_text("Empfangen: %zu Bytes\n", 6 + 13 + pairs * 628 + 3) +
                         "Handshake: 24 80 11 17 04 A6\n"
                         "Einstieg: 0xF3 bis 0xFF\n"
                         "Rahmung: Seitenpaare (erstes Kommando 76 FF FF 23)\n" +
                         format_text("Seiten: %zu%s\n", 2 * pairs,
                                     pages % 2 ? ", davon 1 Ergänzungsseite mit 0x00" : "") +
                         "Aufbau: 528 (528 Slots zu 8 Bytes, 16 Kopfseiten nach der CV-Seite)\n" +
                         format_text("Prüfsumme: 0x%04X empfangen, 0x%04X berechnet (Summe 0x%X)\n",
                                     sum & 0xFFFF, sum & 0xFFFF, sum) +
                         "CVs gesetzt: 1=3 29=6 48=16 55=128\n"
                         "Slots mit Sound: 400, verschiedene Sounds: 8, 3.2 Sekunden\n"
                         "Ergebnis: Abbild vollständig, Prüfsumme stimmt\n" +
                         format_text("Abbild geschrieben: got.img (%zu Bytes)\n", file.size());
  EXPECT_EQ(run.received.report, to_code_page_850(expected.c_str()));
  EXPECT_EQ(run.received.receiver_status, 0);
  EXPECT_EQ(run.received.received_image, file);
}

// The earlier programs send single pages; the receiver rebuilds the same
// image from them as the program writes in a file-output run.
void expect_single_page_run(const char* program) {
  ComparedRun run = run_against_receiver(program);
  EXPECT_EQ(run.received.receiver_status, 0) << run.received.report;
  EXPECT_NE(run.received.report.find("Ergebnis: Abbild vollst\x84ndig, Pr\x81"
                                     "fsumme stimmt\n"),
            std::string::npos)
      << run.received.report;
  EXPECT_EQ(run.received.received_image, run.file_image);
}

TEST(ReceiverProgram, PortRunOfRelease66) { expect_single_page_run("zirpton-6.6"); }
TEST(ReceiverProgram, PortRunOfRelease62) { expect_single_page_run("zirpton-6.2"); }
TEST(ReceiverProgram, PortRunOfRelease61a) { expect_single_page_run("zirpton-6.1a"); }
TEST(ReceiverProgram, PortRunOfRelease54) { expect_single_page_run("zirpton-5.4"); }
TEST(ReceiverProgram, PortRunOfRelease53) { expect_single_page_run("zirpton-5.3"); }

// The oldest programs send no handshake, "W" before every page, and lay out
// their header as the layout line says. The list's sounds come to 10 slots
// with 4 files: 5520 + 8820 + 3312 + 3312 bytes in 3.3 (80 data pages);
// 2.02 copies the 16-bit BELL.WAV as it is, 17640 bytes (113 data pages).
void expect_old_port_run(const char* program, size_t pages, const char* layout_line,
                         const char* seconds) {
  ComparedRun run = run_against_receiver(program, write_old_project, "old.lst", "");
  const std::string& file = run.file_image;
  ASSERT_EQ(file.size(), pages * 264 + 2);
  uint32_t sum = sum_of(file.substr(0, file.size() - 2));
  std::string expected =
      format_text("Empfangen: %zu Bytes\n", 13 + pages * 265 + 3) +
      "Handshake: keiner\n"
      "Einstieg: 0xF3 bis 0xFF\n"
      "Rahmung: Einzelseiten (erstes Kommando W)\n" +
      format_text("Seiten: %zu\n", pages) + layout_line +
      format_text("Prüfsumme: 0x%04X empfangen, 0x%04X berechnet (Summe 0x%X)\n", sum & 0xFFFF,
                  sum & 0xFFFF, sum) +
      "CVs gesetzt: 1=3 29=6 48=16 55=128\n" +
      format_text("Slots mit Sound: 10, verschiedene Sounds: 4, %s Sekunden\n", seconds) +
      "Ergebnis: Abbild vollständig, Prüfsumme stimmt\n" +
      format_text("Abbild geschrieben: got.img (%zu Bytes)\n", file.size());
  EXPECT_EQ(run.received.report, to_code_page_850(expected.c_str()));
  EXPECT_EQ(run.received.receiver_status, 0);
  EXPECT_EQ(run.received.received_image, file);
}

TEST(ReceiverProgram, PortRunOfRelease33) {
  expect_old_port_run(
      "zirpto32-3.3", 2 + 4 + 80,
      "Aufbau: 3.3 (132 Slots zu 8 Bytes mit Byte 7 = 0xFF, 4 Kopfseiten nach der CV-Seite)\n",
      "1.9");
}

TEST(ReceiverProgram, PortRunOfRelease202) {
  expect_old_port_run("zirpto32-2.02", 2 + 1 + 113,
                      "Aufbau: 2.02 (88 Slots zu 6 Bytes, 2 Kopfseiten vor der CV-Seite)\n", "2.7");
}

// 1024 pages of 0xFF, the whole flash of 2.02: nearly two minutes on the
// line at 38400 baud with the pause after every page.
TEST(ReceiverProgram, TheDeleteCommandOfRelease202ArrivesAsADeletionOfTheWholeFlash) {
  zirpton::testing::ScratchDir dir;
  ReceivedRun run = port_run_against_receiver(dir, "zirpto32-2.02", {"r1", "delete"});
  std::string expected =
      "Empfangen: 271376 Bytes\n"
      "Handshake: keiner\n"
      "Einstieg: 0xF3 bis 0xFF\n"
      "Rahmung: Einzelseiten (erstes Kommando W)\n"
      "Seiten: 1024\n"
      "Aufbau: Löschen (2.02), 1024 Seiten mit 0xFF\n"
      "Prüfsumme: 0xE000 empfangen, 0xE000 berechnet (Summe 0x41BE000)\n"
      "Ergebnis: Flash gelöscht, Prüfsumme stimmt\n"
      "Abbild geschrieben: got.img (270338 Bytes)\n";
  EXPECT_EQ(run.report, to_code_page_850(expected.c_str()));
  EXPECT_EQ(run.receiver_status, 0);
  EXPECT_EQ(run.received_image, std::string(1024 * 264, '\xFF') + std::string("\x00\xE0", 2));
}

}  // namespace
}  // namespace zirpton::tools
