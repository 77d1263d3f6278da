// Builds a full 32 MBit image from 16-bit sounds in file-output mode and
// reports wall time and peak memory, beside the time `cat` needs to read the
// same input bytes; then the same with half and a quarter of the sound, to
// show that memory stays flat whatever the size of the sounds.
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

struct Measure {
  double seconds;
  long peak_kib;
  int status;
};

void put16(std::ofstream& out, uint16_t v) { out.put(char(v & 0xFF)).put(char(v >> 8)); }
void put32(std::ofstream& out, uint32_t v) {
  put16(out, uint16_t(v & 0xFFFF));
  put16(out, uint16_t(v >> 16));
}

void write_wave(const fs::path& path, uint32_t samples, uint32_t seed) {
  std::ofstream out(path, std::ios::binary);
  out.write("RIFF", 4);
  put32(out, 36 + samples * 2);
  out.write("WAVEfmt ", 8);
  put32(out, 16);
  put16(out, 1);
  put16(out, 1);
  put32(out, 11025);
  put32(out, 22050);
  put16(out, 2);
  put16(out, 16);
  out.write("data", 4);
  put32(out, samples * 2);
  std::vector<char> block(samples * 2);
  uint32_t x = seed;
  for (uint32_t i = 0; i < samples; ++i) {
    x = x * 1664525u + 1013904223u;
    block[2 * i] = char(x >> 8);
    block[2 * i + 1] = char(x >> 24);
  }
  out.write(block.data(), std::streamsize(block.size()));
}

Measure measure(const std::vector<std::string>& argv, const fs::path& cwd) {
  std::fflush(stdout);  // the child must not print our buffer again
  auto start = std::chrono::steady_clock::now();
  pid_t child = fork();
  if (child == 0) {
    if (chdir(cwd.c_str()) != 0) _exit(127);
    freopen("/dev/null", "w", stdout);
    freopen("/dev/null", "w", stderr);
    std::vector<char*> args;
    for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    execvp(args[0], args.data());
    _exit(127);
  }
  int status = 0;
  rusage usage{};
  wait4(child, &status, 0, &usage);
  double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  return {seconds, usage.ru_maxrss, WIFEXITED(status) ? WEXITSTATUS(status) : -1};
}

}  // namespace

int main(int argc, char** argv) {
  fs::path program = fs::absolute(argc > 1 ? argv[1] : "build/bin/zirpton");
  fs::path dir = fs::temp_directory_path() / ("zirpton-bench-" + std::to_string(getpid()));
  fs::create_directories(dir);
  std::ofstream(dir / "port");
  std::ofstream(dir / "cv.txt") << "1=3\n";
  setenv("ZIRPTON_COM1", (dir / "port").c_str(), 1);

  std::printf("| sound | input bytes | image bytes | zirpton wall s | zirpton peak KiB | cat wall s | cat peak KiB |\n");
  std::printf("|---|---|---|---|---|---|---|\n");
  // Twelve sounds fill slots 0 to 11 (the pairing check wants all three
  // groups alike); 12 x 360000 samples fill the 32 MBit flash all but 624 bytes.
  for (uint32_t divisor : {1u, 2u, 4u}) {
    uint32_t samples = 360000 / divisor;
    std::ofstream list(dir / "list.txt");
    list << "**32MBit\n**4.Generation\n";
    std::vector<std::string> cat{"cat"};
    for (int i = 0; i < 12; ++i) {
      std::string name = "S" + std::to_string(i) + ".WAV";
      write_wave(dir / name, samples, uint32_t(i + 1));
      list << (i < 10 ? "0" : "") << i << ": " << name << "\n";
      cat.push_back(name);
    }
    list.close();
    uintmax_t input = 0;
    for (size_t i = 1; i < cat.size(); ++i) input += fs::file_size(dir / cat[i]);
    Measure run = measure({program.string(), "r1", "list.txt", "cv.txt", "image.bin"}, dir);
    Measure copy = measure(cat, dir);
    if (run.status != 0) {
      std::fprintf(stderr, "zirpton ended with %d\n", run.status);
      return 1;
    }
    std::printf("| 1/%u | %ju | %ju | %.3f | %ld | %.3f | %ld |\n", divisor, input,
                fs::file_size(dir / "image.bin"), run.seconds, run.peak_kib, copy.seconds,
                copy.peak_kib);
  }
  fs::remove_all(dir);
  return 0;
}
