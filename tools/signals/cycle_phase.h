// sin of a position counted in cycles: only its fraction matters, and taking
// it first keeps a long signal as exact as its first second.
#pragma once

#include <cmath>

namespace zel5::signals {

inline double SinOfCycles(double cycles) {
  constexpr double kTwoPi = 6.283185307179586;
  return std::sin(kTwoPi * (cycles - std::floor(cycles)));
}

}  // namespace zel5::signals
