#include "test_signal.h"

#include <cmath>
#include <random>

namespace zel5::bench {

std::vector<double> TestSignal(std::uint32_t frames, std::uint32_t rate, double hz,
                               std::uint32_t seed) {
  constexpr double kTwoPi = 6.283185307179586;
  std::minstd_rand noise(seed);
  std::uniform_real_distribution<double> spread(-0.05, 0.05);
  std::vector<double> samples(frames);
  for (std::uint32_t i = 0; i < frames; ++i) {
    const double t = static_cast<double>(i) / static_cast<double>(rate);
    samples[i] = 0.8 * std::sin(kTwoPi * hz * t) + spread(noise);
  }
  return samples;
}

}  // namespace zel5::bench
