// An encoder library loaded by path as the plug-in loads it, with its two
// entry points looked up by name, and a scratch folder for the files that
// its encoders and its call log write.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>

#include "encoders/host_calls.h"
#include "encoders/scratch_folder.h"
#include "encoders/test_encoder/test_encoder_settings.h"
#include "platform/dynamic_library.h"
#include "support/pcm_format.h"
#include "zel5/encoder_api.h"

namespace zel5::test {

// The format the plug-in's mixer hands out most: 44100 Hz, 2 channels, 16 bits.
inline const WAVEFORMATEX kStereo16 = Pcm(44100, 2);

class LoadedLibrary : public ::testing::Test {
 protected:
  void SetUp() override { Load(ZEL5ENC_TEST_LIBRARY); }

  void Load(const char* path) {
    library_ = platform::DynamicLibrary::Load(path);
    ASSERT_NE(library_, nullptr) << path;
    getProviderCount_ =
        reinterpret_cast<GetProviderCountFunction>(library_->Find("GetProviderCount"));
    getProvider_ = reinterpret_cast<GetProviderFunction>(library_->Find("GetProvider"));
  }

  void Unload() { library_.reset(); }

  void* Provider(std::uint32_t index) {
    void* provider = getProvider_(index);
    EXPECT_NE(provider, nullptr) << index;
    return provider;
  }

  // Null when the provider refuses.
  void* Create(void* provider, const test_encoder::Settings& settings,
               const WAVEFORMATEX& format = kStereo16) {
    void* encoder = nullptr;
    const test_encoder::SettingsBytes bytes = test_encoder::ToBytes(settings);
    return CreateEncoder(provider, &format, bytes.data(), &encoder) == 0 ? encoder : nullptr;
  }

  ScratchFolder scratch_;
  std::unique_ptr<platform::DynamicLibrary> library_;
  GetProviderCountFunction getProviderCount_ = nullptr;
  GetProviderFunction getProvider_ = nullptr;
};

}  // namespace zel5::test
