// The one WAV layout the tools read and write: 16-bit PCM, little-endian,
// channels interleaved.
#pragma once

#include <cstdint>

namespace zel5::tools {

inline constexpr std::uint32_t kWavSampleBytes = 2;
// The highest rate whose second of 16-bit stereo still fits the 32-bit byte
// counts of a WAV header and of the converter's format record.
inline constexpr std::uint32_t kLargestRate = 0xFFFFFFFFu / (2 * kWavSampleBytes);

struct WavFormat {
  std::uint16_t channels = 0;
  std::uint32_t rate = 0;

  std::uint32_t frameBytes() const { return channels * kWavSampleBytes; }
};

}  // namespace zel5::tools
