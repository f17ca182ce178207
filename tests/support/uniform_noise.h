// Seeded uniform noise for tests: the same samples on every run.
#pragma once

#include <cstddef>
#include <random>
#include <vector>

namespace zel5::test {

// n samples uniform in [-amplitude, amplitude).
inline std::vector<double> UniformNoise(std::size_t n, unsigned seed, double amplitude) {
  std::mt19937 gen(seed);
  std::uniform_real_distribution<double> dist(-amplitude, amplitude);
  std::vector<double> x(n);
  for (double& v : x) {
    v = dist(gen);
  }
  return x;
}

}  // namespace zel5::test
