// The sounds of the bundled example, made from sines and noise so that the
// example needs no recording: short, in both sample sizes, one at 22050 Hz.
#pragma once

#include <string>
#include <vector>

namespace zirpton::tools {

struct DemoSoundFile {
  std::string name;  // as the example's list file names it
  std::string wave;  // the whole RIFF WAVE file
};

std::vector<DemoSoundFile> demo_sounds();

}  // namespace zirpton::tools
