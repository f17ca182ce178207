// The input every benchmark filters or converts: a sine with a little noise,
// so that the timings are those of music-like samples and not of silence
// (which could decay into subnormal numbers) or of full-scale clipping.
#pragma once

#include <cstdint>
#include <vector>

namespace zel5::bench {

// frames samples at rate: 0.8 * sin(2 pi hz t) plus uniform noise of at most
// 0.05 either way, the same every run for the same seed.
std::vector<double> TestSignal(std::uint32_t frames, std::uint32_t rate, double hz,
                               std::uint32_t seed);

}  // namespace zel5::bench
