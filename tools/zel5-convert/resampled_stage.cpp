#include "zel5-convert/resampled_stage.h"

#include <cstring>

#include "common/float64_samples.h"
#include "convert/owned_sample_block.h"
#include "zel5-convert/initialised_converter.h"

namespace zel5::tools {
namespace {

std::unique_ptr<double[]> CopyOf(const double* samples, std::uint32_t count) {
  auto copy = std::make_unique_for_overwrite<double[]>(count);
  std::memcpy(copy.get(), samples, count * sizeof(double));
  return copy;
}

}  // namespace

ResampledStage::ResampledStage(const WAVEFORMATEX& input, const WAVEFORMATEX& output)
    : channels_(input.nChannels), ratesDiffer_(input.nSamplesPerSec != output.nSamplesPerSec) {
  // Built only to refuse what the converter refuses.
  std::uint32_t unusedBytes = 0;
  MakeInitialisedConverter(input, output, unusedBytes);
  resampler_.FindRatio(static_cast<std::int32_t>(output.nSamplesPerSec),
                       static_cast<std::int32_t>(input.nSamplesPerSec));
  resampler_.SetFormat(&input);
}

std::span<const std::uint8_t> ResampledStage::Process(SampleBlock block) {
  OwnedSampleBlock samples;
  samples.count = block.count;
  samples.left = CopyOf(block.left, block.count);
  if (channels_ != 1) {
    samples.right = CopyOf(block.right, block.count);
  }
  if (ratesDiffer_) {
    resampler_.Resample(&samples);
  }
  interleaved_.resize(static_cast<std::size_t>(samples.count) * channels_);
  for (std::uint32_t i = 0; i < samples.count; ++i) {
    interleaved_[i * channels_] = samples.left[i];
    if (channels_ == 2) {
      interleaved_[i * channels_ + 1] = samples.right[i];
    }
  }
  bytes_.resize(interleaved_.size() * kFloat64Bytes);
  EncodeFloat64(interleaved_, bytes_.data());
  return bytes_;
}

}  // namespace zel5::tools
