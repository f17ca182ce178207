// The library's two entry points and the providers they hand out: two of id
// 1, so that a test can show that the first one is chosen, and one of id 2.
#include <string>
#include <type_traits>

#include "encoders/test_encoder/call_log.h"
#include "encoders/test_encoder/test_provider.h"
#include "zel5/encoder_api.h"

namespace {

using zel5::test_encoder::TestProvider;

TestProvider providers[] = {
    {0, 1, "Test encoder", "tst"},
    {1, 2, "Second", "raw"},
    {2, 1, "Shadow", "shd"},
};

constexpr std::uint32_t kProviderCount = sizeof providers / sizeof providers[0];

}  // namespace

extern "C" ZEL5_EXPORT std::uint32_t GetProviderCount() {
  zel5::test_encoder::LogCall("GetProviderCount");
  return kProviderCount;
}

extern "C" ZEL5_EXPORT EncoderProviderHandle GetProvider(std::uint32_t index) {
  zel5::test_encoder::LogCall("GetProvider index=" + zel5::test_encoder::Decimal(index));
  return index < kProviderCount ? &providers[index] : nullptr;
}

static_assert(std::is_same_v<decltype(&GetProviderCount), GetProviderCountFunction>);
static_assert(std::is_same_v<decltype(&GetProvider), GetProviderFunction>);
