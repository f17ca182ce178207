// The WAV provider, id 1. Describe sees only the settings, so it reports the
// format of the last encoder this provider made: sample rate, channels and
// bits per sample, or 0s before the first.
#pragma once

#include <cstdint>

#include "zel5/encoder_api.h"

namespace zel5::wav {

class WavProvider final : public zel5::EncoderProvider {
 public:
  std::uint32_t GetId() override { return 1; }
  std::int32_t Describe(const std::uint8_t* settings, char* name, std::uint32_t nameSize,
                        std::int32_t* value0, std::int32_t* value1, std::int32_t* value2) override;
  std::int32_t CreateEncoder(const WAVEFORMATEX* format, const std::uint8_t* settings,
                             Encoder** encoder) override;
  std::int32_t DestroyEncoder(Encoder* encoder) override;

 private:
  WAVEFORMATEX lastFormat_{};
};

}  // namespace zel5::wav
