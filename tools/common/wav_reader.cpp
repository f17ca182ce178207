#include "common/wav_reader.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <stdexcept>
#include <utility>

namespace zel5::tools {
namespace {

constexpr std::uint16_t kTagPcm = 0x0001;
constexpr std::uint16_t kTagExtensible = 0xFFFE;
constexpr std::uint32_t kPlainFormatBytes = 16;
constexpr std::uint32_t kExtensibleFormatBytes = 40;
constexpr std::uint16_t kExtensibleExtraBytes = 22;
// KSDATAFORMAT_SUBTYPE_PCM as it lies in the file.
constexpr std::array<std::uint8_t, 16> kPcmSubformat = {
    0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x10, 0x00, 0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};

std::uint16_t U16(const std::uint8_t* p) {
  return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

std::uint32_t U32(const std::uint8_t* p) {
  return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
         (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

std::string Hex16(std::uint16_t value) {
  static const char kDigits[] = "0123456789ABCDEF";
  std::string text = "0x";
  for (int shift = 12; shift >= 0; shift -= 4) {
    text += kDigits[(value >> shift) & 0xF];
  }
  return text;
}

}  // namespace

WavReader::WavReader(std::istream& in, std::string name) : in_(in), name_(std::move(name)) {
  std::array<std::uint8_t, 12> riff{};
  ReadExactly(riff.data(), riff.size(), "the RIFF header");
  if (std::memcmp(riff.data(), "RIFF", 4) != 0 || std::memcmp(riff.data() + 8, "WAVE", 4) != 0) {
    Fail("not a RIFF/WAVE file");
  }
  bool haveFormat = false;
  for (;;) {
    std::array<std::uint8_t, 8> header{};
    in_.read(reinterpret_cast<char*>(header.data()), header.size());
    if (in_.gcount() == 0 && in_.eof()) {
      Fail("no data chunk");
    }
    if (static_cast<std::size_t>(in_.gcount()) != header.size()) {
      Fail("ends inside a chunk header");
    }
    const std::uint32_t size = U32(header.data() + 4);
    if (std::memcmp(header.data(), "fmt ", 4) == 0) {
      if (haveFormat) {
        Fail("has two fmt chunks");
      }
      ReadFormatChunk(size);
      haveFormat = true;
    } else if (std::memcmp(header.data(), "data", 4) == 0) {
      if (!haveFormat) {
        Fail("the data chunk comes before the fmt chunk");
      }
      if (size % format_.frameBytes() != 0) {
        Fail("the data chunk of " + std::to_string(size) + " bytes ends inside a frame (" +
             std::to_string(format_.frameBytes()) + " bytes each)");
      }
      frames_ = size / format_.frameBytes();
      return;
    } else {
      // Chunks are padded to an even length.
      Skip(static_cast<std::uint64_t>(size) + (size & 1u), "a chunk");
    }
  }
}

void WavReader::ReadFormatChunk(std::uint32_t size) {
  if (size < kPlainFormatBytes) {
    Fail("the fmt chunk is too short (" + std::to_string(size) + " bytes)");
  }
  std::array<std::uint8_t, kExtensibleFormatBytes> fmt{};
  const std::uint32_t kept = std::min(size, kExtensibleFormatBytes);
  ReadExactly(fmt.data(), kept, "the fmt chunk");
  Skip(static_cast<std::uint64_t>(size - kept) + (size & 1u), "the fmt chunk");

  const std::uint16_t tag = U16(&fmt[0]);
  const std::uint16_t channels = U16(&fmt[2]);
  const std::uint32_t rate = U32(&fmt[4]);
  const std::uint16_t blockAlign = U16(&fmt[12]);
  const std::uint16_t bits = U16(&fmt[14]);
  if (tag == kTagExtensible) {
    if (size < kExtensibleFormatBytes || U16(&fmt[16]) < kExtensibleExtraBytes) {
      Fail("the extensible fmt chunk is too short");
    }
    if (std::memcmp(&fmt[24], kPcmSubformat.data(), kPcmSubformat.size()) != 0) {
      Fail("not PCM (the extensible subformat is not PCM)");
    }
  } else if (tag != kTagPcm) {
    Fail("not PCM (format tag " + Hex16(tag) + ")");
  }
  if (bits != 16) {
    Fail("has " + std::to_string(bits) + "-bit samples; only 16-bit PCM is read");
  }
  if (channels == 0 || rate == 0) {
    Fail("the fmt chunk gives " + std::to_string(channels) + " channels at " +
         std::to_string(rate) + " Hz");
  }
  format_ = WavFormat{channels, rate};
  if (blockAlign != format_.frameBytes()) {
    Fail("the fmt chunk's block align " + std::to_string(blockAlign) + " does not match " +
         std::to_string(channels) + " channels of 16 bits");
  }
}

std::size_t WavReader::ReadFrames(std::span<std::int16_t> interleaved) {
  const std::size_t frames =
      std::min<std::uint64_t>(interleaved.size() / format_.channels, frames_ - framesRead_);
  bytes_.resize(frames * format_.frameBytes());
  in_.read(reinterpret_cast<char*>(bytes_.data()), static_cast<std::streamsize>(bytes_.size()));
  if (in_.bad()) {
    Fail("cannot read");
  }
  if (static_cast<std::size_t>(in_.gcount()) != bytes_.size()) {
    const std::uint64_t held = framesRead_ * format_.frameBytes() + in_.gcount();
    Fail("the data ends early: the data chunk declares " +
         std::to_string(frames_ * format_.frameBytes()) + " bytes, the file holds " +
         std::to_string(held));
  }
  for (std::size_t i = 0; i < frames * format_.channels; ++i) {
    interleaved[i] = static_cast<std::int16_t>(U16(&bytes_[i * kWavSampleBytes]));
  }
  framesRead_ += frames;
  return frames;
}

void WavReader::ReadExactly(std::uint8_t* bytes, std::size_t size, const char* what) {
  in_.read(reinterpret_cast<char*>(bytes), static_cast<std::streamsize>(size));
  if (static_cast<std::size_t>(in_.gcount()) != size) {
    Fail(std::string("ends inside ") + what);
  }
}

void WavReader::Skip(std::uint64_t size, const char* what) {
  in_.ignore(static_cast<std::streamsize>(size));
  if (static_cast<std::uint64_t>(in_.gcount()) != size) {
    Fail(std::string("ends inside ") + what);
  }
}

void WavReader::Fail(const std::string& problem) const {
  throw std::runtime_error(name_ + ": " + problem);
}

}  // namespace zel5::tools
