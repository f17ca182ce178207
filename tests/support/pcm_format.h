// PCM format records for tests.
#pragma once

#include <cstdint>

#include "zel5/wave_format.h"

namespace zel5::test {

inline WAVEFORMATEX Pcm(std::uint32_t rate, std::uint16_t channels, std::uint16_t bits = 16) {
  const auto align = static_cast<std::uint16_t>(channels * bits / 8);
  return WAVEFORMATEX{ZEL5_WAVE_FORMAT_PCM, channels, rate, rate * align, align, bits, 0};
}

}  // namespace zel5::test
