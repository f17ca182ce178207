#include "common/wav_writer.h"

#include <algorithm>
#include <array>
#include <stdexcept>
#include <utility>

namespace zel5::tools {
namespace {

constexpr std::uint32_t kHeaderBytes = 44;
constexpr std::streamoff kRiffSizeAt = 4;
constexpr std::streamoff kDataSizeAt = 40;
// The RIFF size counts everything after its own field and must fit 32 bits.
constexpr std::uint64_t kLargestData = 0xFFFFFFFFull - (kHeaderBytes - 8);

void Put16(std::uint8_t* p, std::uint32_t value) {
  p[0] = static_cast<std::uint8_t>(value);
  p[1] = static_cast<std::uint8_t>(value >> 8);
}

void Put32(std::uint8_t* p, std::uint32_t value) {
  Put16(p, value);
  Put16(p + 2, value >> 16);
}

void WriteU32At(std::ostream& out, std::streampos at, std::uint32_t value) {
  std::array<std::uint8_t, 4> bytes{};
  Put32(bytes.data(), value);
  out.seekp(at);
  out.write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
}

}  // namespace

WavWriter::WavWriter(std::ostream& out, std::string name, WavFormat format)
    : out_(out), name_(std::move(name)), start_(out.tellp()) {
  const std::uint64_t bytesPerSecond =
      static_cast<std::uint64_t>(format.rate) * format.frameBytes();
  if (bytesPerSecond > 0xFFFFFFFFull) {
    throw std::runtime_error(name_ + ": " + std::to_string(format.rate) +
                             " Hz is too high a rate for a WAV header");
  }
  std::array<std::uint8_t, kHeaderBytes> header{};
  auto* p = header.data();
  std::copy_n("RIFF", 4, p);
  Put32(p + 4, kHeaderBytes - 8);
  std::copy_n("WAVEfmt ", 8, p + 8);
  Put32(p + 16, 16);
  Put16(p + 20, 1);
  Put16(p + 22, format.channels);
  Put32(p + 24, format.rate);
  Put32(p + 28, static_cast<std::uint32_t>(bytesPerSecond));
  Put16(p + 32, format.frameBytes());
  Put16(p + 34, 16);
  std::copy_n("data", 4, p + 36);
  Put32(p + 40, 0);
  out_.write(reinterpret_cast<const char*>(header.data()), header.size());
}

void WavWriter::Write(std::span<const std::uint8_t> pcm) {
  if (dataBytes_ + pcm.size() > kLargestData) {
    throw std::runtime_error(name_ + ": more samples than a WAV file can hold (4 GiB)");
  }
  out_.write(reinterpret_cast<const char*>(pcm.data()), static_cast<std::streamsize>(pcm.size()));
  dataBytes_ += pcm.size();
}

void WavWriter::Finish() {
  const std::streampos end = out_.tellp();
  const auto data = static_cast<std::uint32_t>(dataBytes_);
  WriteU32At(out_, start_ + kRiffSizeAt, kHeaderBytes - 8 + data);
  WriteU32At(out_, start_ + kDataSizeAt, data);
  out_.seekp(end);
}

}  // namespace zel5::tools
