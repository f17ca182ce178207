#include "tools/wav_bytes.h"

#include "common/float64_samples.h"

namespace zel5::tools::testing {

std::string U16Bytes(std::uint16_t value) {
  return {static_cast<char>(value & 0xFF), static_cast<char>(value >> 8)};
}

std::string U32Bytes(std::uint32_t value) {
  return U16Bytes(static_cast<std::uint16_t>(value)) +
         U16Bytes(static_cast<std::uint16_t>(value >> 16));
}

std::string Chunk(const std::string& id, const std::string& payload) {
  std::string chunk = id + U32Bytes(static_cast<std::uint32_t>(payload.size())) + payload;
  if (payload.size() % 2 != 0) {
    chunk += '\0';
  }
  return chunk;
}

std::string FmtPayload(std::uint16_t tag, std::uint16_t channels, std::uint32_t rate,
                       std::uint16_t blockAlign, std::uint16_t bits) {
  return U16Bytes(tag) + U16Bytes(channels) + U32Bytes(rate) + U32Bytes(rate * blockAlign) +
         U16Bytes(blockAlign) + U16Bytes(bits);
}

std::string ExtensibleFmtPayload(std::uint16_t channels, std::uint32_t rate, bool pcmSubformat) {
  const std::string pcm("\x01\x00\x00\x00\x00\x00\x10\x00\x80\x00\x00\xAA\x00\x38\x9B\x71", 16);
  const std::string ieeeFloat("\x03\x00\x00\x00\x00\x00\x10\x00\x80\x00\x00\xAA\x00\x38\x9B\x71",
                              16);
  const auto blockAlign = static_cast<std::uint16_t>(channels * 2);
  return FmtPayload(0xFFFE, channels, rate, blockAlign, 16) + U16Bytes(22) + U16Bytes(16) +
         U32Bytes(channels == 2 ? 3 : 4) + (pcmSubformat ? pcm : ieeeFloat);
}

std::string Riff(const std::string& chunks) {
  return "RIFF" + U32Bytes(static_cast<std::uint32_t>(4 + chunks.size())) + "WAVE" + chunks;
}

std::string PcmWav(std::uint16_t channels, std::uint32_t rate,
                   std::span<const std::int16_t> samples) {
  std::string data;
  for (const std::int16_t sample : samples) {
    data += U16Bytes(static_cast<std::uint16_t>(sample));
  }
  const auto blockAlign = static_cast<std::uint16_t>(channels * 2);
  return Riff(Chunk("fmt ", FmtPayload(1, channels, rate, blockAlign, 16)) + Chunk("data", data));
}

std::string Float64Bytes(std::span<const double> samples) {
  std::string bytes(samples.size() * kFloat64Bytes, '\0');
  EncodeFloat64(samples, reinterpret_cast<std::uint8_t*>(bytes.data()));
  return bytes;
}

std::vector<double> Float64Values(const std::string& bytes) {
  std::vector<double> values(bytes.size() / kFloat64Bytes);
  DecodeFloat64(reinterpret_cast<const std::uint8_t*>(bytes.data()), values);
  return values;
}

std::vector<std::int16_t> Int16Values(const std::string& bytes) {
  std::vector<std::int16_t> values(bytes.size() / 2);
  for (std::size_t i = 0; i < values.size(); ++i) {
    values[i] = static_cast<std::int16_t>(static_cast<std::uint8_t>(bytes[2 * i]) |
                                          (static_cast<std::uint8_t>(bytes[2 * i + 1]) << 8));
  }
  return values;
}

}  // namespace zel5::tools::testing
