#include "zel5-convert/wav_source.h"

#include <utility>

namespace zel5::tools {
namespace {

constexpr double kFullScale = 32768.0;

}  // namespace

WavSource::WavSource(std::unique_ptr<InputFile> file)
    : file_(std::move(file)), reader_(file_->stream(), file_->name()) {}

std::uint32_t WavSource::Read(std::span<double> left, std::span<double> right) {
  const std::uint32_t channels = reader_.format().channels;
  interleaved_.resize(left.size() * channels);
  const std::size_t frames = reader_.ReadFrames(interleaved_);
  for (std::size_t i = 0; i < frames; ++i) {
    left[i] = interleaved_[i * channels] / kFullScale;
    if (channels == 2) {
      right[i] = interleaved_[i * channels + 1] / kFullScale;
    }
  }
  return static_cast<std::uint32_t>(frames);
}

}  // namespace zel5::tools
