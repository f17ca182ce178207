// Raw samples as the tools store them: IEEE doubles, little-endian, whatever
// the byte order of the machine running the tool.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace zel5::tools {

inline constexpr std::size_t kFloat64Bytes = 8;

// Writes samples.size() * 8 bytes to bytes.
void EncodeFloat64(std::span<const double> samples, std::uint8_t* bytes);

// Reads samples.size() doubles from samples.size() * 8 bytes.
void DecodeFloat64(const std::uint8_t* bytes, std::span<double> samples);

}  // namespace zel5::tools
