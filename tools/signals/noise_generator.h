// White noise, uniform in [-1, 1), the same on every machine for a seed: the
// 64-bit Mersenne Twister is fully specified, and the mapping to doubles is
// done here rather than by a library distribution that may differ.
#pragma once

#include <cstdint>
#include <random>

#include "signals/signal_generator.h"

namespace zel5::signals {

class NoiseGenerator final : public SignalGenerator {
 public:
  explicit NoiseGenerator(std::uint64_t seed);
  double Next() override;

 private:
  std::mt19937_64 engine_;
};

}  // namespace zel5::signals
