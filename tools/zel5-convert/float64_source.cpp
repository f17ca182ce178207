#include "zel5-convert/float64_source.h"

#include <utility>

namespace zel5::tools {

Float64Source::Float64Source(std::unique_ptr<InputFile> file, std::uint32_t channels)
    : file_(std::move(file)),
      channels_(channels),
      reader_(file_->stream(), file_->name(), channels) {}

std::uint32_t Float64Source::Read(std::span<double> left, std::span<double> right) {
  interleaved_.resize(left.size() * channels_);
  const std::size_t frames = reader_.ReadFrames(interleaved_);
  for (std::size_t i = 0; i < frames; ++i) {
    left[i] = interleaved_[i * channels_];
    if (channels_ == 2) {
      right[i] = interleaved_[i * channels_ + 1];
    }
  }
  return static_cast<std::uint32_t>(frames);
}

}  // namespace zel5::tools
