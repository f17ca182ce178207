#include "common/float64_samples.h"

#include <bit>

namespace zel5::tools {

void EncodeFloat64(std::span<const double> samples, std::uint8_t* bytes) {
  for (const double sample : samples) {
    const auto bits = std::bit_cast<std::uint64_t>(sample);
    for (std::size_t b = 0; b < kFloat64Bytes; ++b) {
      *bytes++ = static_cast<std::uint8_t>(bits >> (8 * b));
    }
  }
}

void DecodeFloat64(const std::uint8_t* bytes, std::span<double> samples) {
  for (double& sample : samples) {
    std::uint64_t bits = 0;
    for (std::size_t b = 0; b < kFloat64Bytes; ++b) {
      bits |= static_cast<std::uint64_t>(*bytes++) << (8 * b);
    }
    sample = std::bit_cast<double>(bits);
  }
}

}  // namespace zel5::tools
