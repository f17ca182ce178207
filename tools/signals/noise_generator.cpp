#include "signals/noise_generator.h"

namespace zel5::signals {

NoiseGenerator::NoiseGenerator(std::uint64_t seed) : engine_(seed) {}

double NoiseGenerator::Next() {
  // The top 53 bits give every double of [0, 1) spaced 2^-53 apart.
  constexpr double kUnit = 1.0 / 9007199254740992.0;
  const double unit = static_cast<double>(engine_() >> 11) * kUnit;
  return 2.0 * unit - 1.0;
}

}  // namespace zel5::signals
