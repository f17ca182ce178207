// An encoder that writes the PCM it receives, unchanged, to the file it was
// opened on. Counter A is frames written, counter B bytes written, both since
// Open.
#pragma once

#include <cstdint>
#include <string>

#include "encoders/test_encoder/test_encoder_settings.h"
#include "zel5/encoder_api.h"

namespace zel5::test_encoder {

class TestEncoder final : public zel5::Encoder {
 public:
  // extension: the provider's, used when the settings name none.
  TestEncoder(const WAVEFORMATEX& format, const Settings& settings, const char* extension);

  std::int32_t Open(const char* path) override;
  std::int32_t Close() override;
  std::int32_t WriteBlock(const void* samples, std::uint32_t byteCount) override;
  std::int32_t QueryCounterA(std::uint32_t* value) override;
  std::int32_t QueryCounterB(std::uint32_t* value) override;
  std::int32_t GetInfo(EncoderInfo* info) override;

  const Settings& settings() const { return settings_; }

 private:
  Settings settings_;
  std::uint32_t frameBytes_;
  std::string extension_;
  std::string path_;
  bool open_ = false;
  std::uint32_t bytesWritten_ = 0;
};

}  // namespace zel5::test_encoder
