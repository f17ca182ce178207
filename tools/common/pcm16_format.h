// The converter's format record for 16-bit PCM, the layout the tools hand
// to the core on both sides.
#pragma once

#include <cstdint>

#include "common/wav_format.h"
#include "zel5/wave_format.h"

namespace zel5::tools {

inline WAVEFORMATEX Pcm16Format(std::uint32_t rate, std::uint16_t channels) {
  WAVEFORMATEX format{};
  format.wFormatTag = ZEL5_WAVE_FORMAT_PCM;
  format.nChannels = channels;
  format.nSamplesPerSec = rate;
  format.wBitsPerSample = 16;
  format.nBlockAlign = static_cast<std::uint16_t>(channels * kWavSampleBytes);
  format.nAvgBytesPerSec = rate * format.nBlockAlign;
  format.cbSize = 0;
  return format;
}

}  // namespace zel5::tools
