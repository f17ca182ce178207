// WAV files and raw sample streams built byte by byte, so tests can make
// every kind of well- and ill-formed input.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace zel5::tools::testing {

std::string U16Bytes(std::uint16_t value);
std::string U32Bytes(std::uint32_t value);

// An id, its size field and the payload, with the pad byte an odd payload
// needs.
std::string Chunk(const std::string& id, const std::string& payload);
// The first 16 bytes of a fmt chunk's payload.
std::string FmtPayload(std::uint16_t tag, std::uint16_t channels, std::uint32_t rate,
                       std::uint16_t blockAlign, std::uint16_t bits);
// A 40-byte extensible fmt payload with a PCM subformat unless told.
std::string ExtensibleFmtPayload(std::uint16_t channels, std::uint32_t rate, bool pcmSubformat);
// "RIFF" size "WAVE" and the chunks.
std::string Riff(const std::string& chunks);
// A plain 16-bit PCM file with these interleaved samples.
std::string PcmWav(std::uint16_t channels, std::uint32_t rate,
                   std::span<const std::int16_t> samples);

std::string Float64Bytes(std::span<const double> samples);
std::vector<double> Float64Values(const std::string& bytes);
std::vector<std::int16_t> Int16Values(const std::string& bytes);

}  // namespace zel5::tools::testing
