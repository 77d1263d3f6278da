#include "tools/zirpton-demo-sounds/demo_sounds.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numbers>

#include "tools/flash-image/wave_writer.h"

namespace zirpton::tools {
namespace {

// One sound: up to two tones and noise, shaped by a decay and by pulses
// (the chuffs of a steam engine).
struct Recipe {
  const char* name;
  uint16_t bits;
  uint32_t rate;
  double seconds;
  double tone_hz;
  double tone2_hz;
  double noise;     // share of noise, 0 to 1
  double decay;     // per second
  double pulse_hz;  // 0: no pulses
};

constexpr Recipe recipes[] = {
    {"HORN.WAV", 8, 11025, 0.50, 311, 392, 0.00, 0.0, 0},
    {"BELL.WAV", 16, 22050, 0.40, 880, 2217, 0.00, 7.0, 0},
    {"STEAM.WAV", 8, 11025, 0.30, 0, 0, 1.00, 3.0, 0},
    {"CHUFF1.WAV", 16, 11025, 0.40, 70, 0, 0.80, 0.0, 5},
    {"CHUFF2.WAV", 16, 11025, 0.30, 90, 0, 0.80, 0.0, 10},
    {"IDLE.WAV", 8, 11025, 0.30, 60, 120, 0.10, 0.0, 0},
    {"RUN.WAV", 8, 11025, 0.30, 95, 190, 0.30, 0.0, 0},
    {"BRAKE.WAV", 16, 11025, 0.30, 1870, 0, 0.40, 4.0, 0},
};

// A fixed generator, so that every run makes the same files.
struct Noise {
  uint32_t state = 0x2F6B1D3Au;
  double next() {
    state = state * 1664525u + 1013904223u;
    return static_cast<double>(state >> 8) / 8388608.0 - 1.0;
  }
};

double sample_at(const Recipe& recipe, double t, Noise& noise) {
  constexpr double two_pi = 2 * std::numbers::pi;
  double tones = 0;
  if (recipe.tone_hz > 0) tones += std::sin(two_pi * recipe.tone_hz * t);
  if (recipe.tone2_hz > 0) tones = 0.6 * tones + 0.4 * std::sin(two_pi * recipe.tone2_hz * t);
  double value = (1 - recipe.noise) * tones + recipe.noise * noise.next();
  if (recipe.pulse_hz > 0 && std::fmod(t * recipe.pulse_hz, 1.0) > 0.35) value *= 0.1;
  // 10 ms ramps at both ends keep the sound from clicking.
  double ramp = std::min({1.0, t / 0.01, (recipe.seconds - t) / 0.01});
  return 0.8 * value * std::exp(-recipe.decay * t) * std::max(0.0, ramp);
}

std::string samples_of(const Recipe& recipe) {
  Noise noise;
  size_t count = static_cast<size_t>(recipe.seconds * recipe.rate);
  std::string bytes;
  for (size_t i = 0; i < count; ++i) {
    double value = sample_at(recipe, static_cast<double>(i) / recipe.rate, noise);
    if (recipe.bits == 8) {
      bytes += static_cast<char>(static_cast<uint8_t>(std::lround(128 + 127 * value)));
    } else {
      auto word = static_cast<uint16_t>(static_cast<int16_t>(std::lround(32767 * value)));
      bytes += static_cast<char>(word & 0xFF);
      bytes += static_cast<char>(word >> 8);
    }
  }
  return bytes;
}

}  // namespace

std::vector<DemoSoundFile> demo_sounds() {
  std::vector<DemoSoundFile> files;
  for (const Recipe& recipe : recipes)
    files.push_back({recipe.name, mono_wave(samples_of(recipe), recipe.rate, recipe.bits)});
  return files;
}

}  // namespace zirpton::tools
