// GetProvider of a library that offers no provider: null for every index.
#include <cstdint>
#include <string>

#include "encoders/test_encoder/call_log.h"
#include "zel5/encoder_api.h"

extern "C" ZEL5_EXPORT EncoderProviderHandle GetProvider(std::uint32_t index) {
  zel5::test_encoder::LogCall("GetProvider index=" + zel5::test_encoder::Decimal(index));
  return nullptr;
}
