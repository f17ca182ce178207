// The library's two entry points: one static provider.
#include <cstdint>

#include "wav_provider.h"
#include "zel5/encoder_api.h"

namespace {

zel5::wav::WavProvider provider;

}  // namespace

extern "C" ZEL5_EXPORT std::uint32_t GetProviderCount() {
  return 1;
}

extern "C" ZEL5_EXPORT EncoderProviderHandle GetProvider(std::uint32_t index) {
  return index == 0 ? &provider : nullptr;
}
