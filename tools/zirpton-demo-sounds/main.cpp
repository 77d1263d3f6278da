// zirpton-demo-sounds DIR: writes the example's sounds into DIR.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "tools/zirpton-demo-sounds/demo_sounds.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fputs("Aufruf: zirpton-demo-sounds VERZEICHNIS\n", stderr);
    return 2;
  }
  std::filesystem::path dir = argv[1];
  std::error_code ignored;
  std::filesystem::create_directories(dir, ignored);
  auto files = zirpton::tools::demo_sounds();
  for (const auto& file : files) {
    std::filesystem::path path = dir / file.name;
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(file.wave.data(), static_cast<std::streamsize>(file.wave.size()));
    out.close();
    if (!out) {
      std::fprintf(stderr, "%s: %s\n", path.string().c_str(), std::strerror(errno));
      return 1;
    }
  }
  std::printf("%zu Sounds geschrieben in %s\n", files.size(), dir.string().c_str());
  return 0;
}
