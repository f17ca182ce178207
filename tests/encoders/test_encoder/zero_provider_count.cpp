// GetProviderCount of a library that offers no provider.
#include <cstdint>

#include "encoders/test_encoder/call_log.h"
#include "zel5/encoder_api.h"

extern "C" ZEL5_EXPORT std::uint32_t GetProviderCount() {
  zel5::test_encoder::LogCall("GetProviderCount");
  return 0;
}
