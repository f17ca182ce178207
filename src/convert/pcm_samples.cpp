#include "convert/pcm_samples.h"

namespace zel5 {
namespace {

constexpr double kFrom8Bit = 1.0 / 127.0;
constexpr double kFrom16Bit = 1.0 / 32767.0;

double ReadSample(const std::uint8_t* pcm, std::uint16_t bits) {
  if (bits == 8) {
    return static_cast<double>(static_cast<std::int8_t>(pcm[0])) * kFrom8Bit;
  }
  const auto value = static_cast<std::int16_t>(static_cast<std::uint16_t>(pcm[0]) |
                                               static_cast<std::uint16_t>(pcm[1] << 8));
  return static_cast<double>(value) * kFrom16Bit;
}

// Clip, scale, truncate toward zero. A NaN (a faulty host buffer or a filter
// designed at an absurd rate) is silence: converting it to an integer is not
// defined.
void WriteSample(double sample, std::uint16_t bits, std::uint8_t* pcm) {
  if (!(sample == sample)) {
    sample = 0.0;
  } else if (sample < -1.0) {
    sample = -1.0;
  } else if (sample > 1.0) {
    sample = 1.0;
  }
  if (bits == 8) {
    pcm[0] = static_cast<std::uint8_t>(static_cast<std::int8_t>(sample * 127.0));
    return;
  }
  const auto value = static_cast<std::uint16_t>(static_cast<std::int16_t>(sample * 32767.0));
  pcm[0] = static_cast<std::uint8_t>(value & 0xFF);
  pcm[1] = static_cast<std::uint8_t>(value >> 8);
}

}  // namespace

bool IsConvertiblePcm(const WAVEFORMATEX& format) {
  return (format.wBitsPerSample == 8 || format.wBitsPerSample == 16) &&
         (format.nChannels == 1 || format.nChannels == 2);
}

void PcmToSamples(const std::uint8_t* pcm, const WAVEFORMATEX& format, SampleBlock block) {
  if (!IsConvertiblePcm(format)) {
    return;
  }
  const std::uint16_t bits = format.wBitsPerSample;
  const unsigned bytes = bits / 8;
  const bool stereo = format.nChannels == 2;
  for (std::uint32_t i = 0; i < block.count; ++i) {
    block.left[i] = ReadSample(pcm, bits);
    pcm += bytes;
    if (stereo) {
      block.right[i] = ReadSample(pcm, bits);
      pcm += bytes;
    }
  }
}

void SamplesToPcm(SampleBlock block, const WAVEFORMATEX& format, std::uint8_t* pcm) {
  if (!IsConvertiblePcm(format)) {
    return;
  }
  const std::uint16_t bits = format.wBitsPerSample;
  const unsigned bytes = bits / 8;
  const bool stereo = format.nChannels == 2;
  for (std::uint32_t i = 0; i < block.count; ++i) {
    WriteSample(block.left[i], bits, pcm);
    pcm += bytes;
    if (stereo) {
      WriteSample(block.right[i], bits, pcm);
      pcm += bytes;
    }
  }
}

}  // namespace zel5
