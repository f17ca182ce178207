#include "common/float64_reader.h"

#include <stdexcept>
#include <utility>

#include "common/float64_samples.h"

namespace zel5::tools {

Float64Reader::Float64Reader(std::istream& in, std::string name, std::uint32_t channels)
    : in_(in), name_(std::move(name)), channels_(channels) {}

std::size_t Float64Reader::ReadFrames(std::span<double> interleaved) {
  const std::size_t frameBytes = kFloat64Bytes * channels_;
  const std::size_t frames = interleaved.size() / channels_;
  bytes_.resize(frames * frameBytes);
  in_.read(reinterpret_cast<char*>(bytes_.data()), static_cast<std::streamsize>(bytes_.size()));
  if (in_.bad()) {
    throw std::runtime_error("cannot read " + name_);
  }
  const auto got = static_cast<std::size_t>(in_.gcount());
  if (got % frameBytes != 0) {
    throw std::runtime_error(name_ + " ends inside a frame: its length is not a multiple of " +
                             std::to_string(frameBytes) + " bytes (" + std::to_string(channels_) +
                             " channel(s) of 8-byte doubles)");
  }
  const std::size_t gotFrames = got / frameBytes;
  DecodeFloat64(bytes_.data(), interleaved.first(gotFrames * channels_));
  return gotFrames;
}

}  // namespace zel5::tools
