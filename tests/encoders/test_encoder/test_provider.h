// A provider of test encoders. Its index in the library shows in every log
// line it writes, so a test can tell providers with the same id apart.
#pragma once

#include <cstdint>

#include "zel5/encoder_api.h"

namespace zel5::test_encoder {

class TestProvider final : public zel5::EncoderProvider {
 public:
  constexpr TestProvider(std::uint32_t index, std::uint32_t id, const char* name,
                         const char* extension)
      : index_(index), id_(id), name_(name), extension_(extension) {}

  std::uint32_t GetId() override;
  std::int32_t Describe(const std::uint8_t* settings, char* name, std::uint32_t nameSize,
                        std::int32_t* value0, std::int32_t* value1, std::int32_t* value2) override;
  std::int32_t CreateEncoder(const WAVEFORMATEX* format, const std::uint8_t* settings,
                             Encoder** encoder) override;
  std::int32_t DestroyEncoder(Encoder* encoder) override;

 private:
  std::uint32_t index_;
  std::uint32_t id_;
  const char* name_;
  const char* extension_;
};

}  // namespace zel5::test_encoder
