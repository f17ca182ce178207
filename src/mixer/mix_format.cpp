#include "mixer/mix_format.h"

#include <cstdint>

namespace zel5 {

WAVEFORMATEX MixFormatFor(HostStream& stream) {
  const std::uint32_t rate = stream.GetSampleRate();
  const std::uint16_t channels = stream.GetChannels() == 1 ? 1 : 2;
  const auto blockAlign = static_cast<std::uint16_t>(2 * channels);
  return WAVEFORMATEX{ZEL5_WAVE_FORMAT_PCM, channels, rate, rate * blockAlign, blockAlign, 16, 0};
}

}  // namespace zel5
