#include "convert/resampler.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace zel5 {
namespace {

constexpr double kCutoffOverRate = 0.47619047619047616;  // 1 / 2.1
constexpr double kStageWidenLimit = 0.4329004329004329;  // 1 / 2.31
constexpr double kStageWidening = 1.1;
constexpr std::int32_t kLargestFactor = 49;
constexpr double kGoodEnough = 0.003;

}  // namespace

RateFactors FindRateFactors(std::int32_t a, std::int32_t b) {
  if (a < 20 && b < 20) {
    return {a, b};
  }
  RateFactors factors{1, 1};
  if (a == b) {
    return factors;
  }
  const double ratio = static_cast<double>(a) / static_cast<double>(b);
  double best = std::numeric_limits<double>::max();
  for (std::int32_t i = 1; i <= kLargestFactor; ++i) {
    for (std::int32_t j = 1; j <= kLargestFactor; ++j) {
      const double error = std::fabs(ratio - static_cast<double>(i) / static_cast<double>(j));
      if (error < best) {
        best = error;
        factors = {i, j};
      }
      if (error < kGoodEnough) {
        return factors;
      }
    }
  }
  return factors;
}

void Resampler::FindRatio(std::int32_t outputRate, std::int32_t inputRate) {
  const RateFactors factors = FindRateFactors(outputRate, inputRate);
  upFactor_ = factors.up;
  downFactor_ = factors.down;
}

void Resampler::SetFormat(const WAVEFORMATEX* format) {
  FilterNode::SetFormat(format);
  const double r = static_cast<double>(rate());
  const double ratio = static_cast<double>(upFactor_) / static_cast<double>(downFactor_);
  double cutoff = std::min(r * kCutoffOverRate, r * ratio * kCutoffOverRate);

  WAVEFORMATEX stuffed = *format;
  stuffed.nSamplesPerSec = static_cast<std::uint32_t>(upFactor_) * rate();
  const std::uint32_t count = upFactor_ <= 3 ? static_cast<std::uint32_t>(upFactor_) : 3;

  stages_.reset();
  stages_ = std::make_unique<LowPassStage[]>(count);
  stageCount_ = count;
  const double widenLimit = static_cast<double>(stuffed.nSamplesPerSec) * kStageWidenLimit;
  for (std::uint32_t s = 0; s < count; ++s) {
    stages_[s].SetCutoff(static_cast<std::int32_t>(cutoff));
    stages_[s].SetFormat(&stuffed);
    if (widenLimit > cutoff) {
      cutoff *= kStageWidening;
    }
  }
}

int Resampler::Resample(OwnedSampleBlock* block) {
  const std::uint64_t up = static_cast<std::uint64_t>(upFactor_);
  const std::uint64_t down = static_cast<std::uint64_t>(downFactor_);
  const std::uint64_t stuffedCount = block->count * up;
  const double scale = static_cast<double>(upFactor_);

  auto stuff = [&](const double* samples) {
    auto stuffedSamples = std::make_unique<double[]>(stuffedCount);
    for (std::uint64_t i = 0; i < block->count; ++i) {
      stuffedSamples[i * up] = scale * samples[i];
    }
    return stuffedSamples;
  };
  std::unique_ptr<double[]> left = stuff(block->left.get());
  std::unique_ptr<double[]> right = block->right ? stuff(block->right.get()) : nullptr;

  const SampleBlock stuffedBlock{static_cast<std::uint32_t>(stuffedCount), left.get(), right.get()};
  for (std::uint32_t s = 0; s < stageCount_; ++s) {
    stages_[s].Filter(stuffedBlock);
  }

  // Positions phase, phase + M, ... below the stuffed length. A block
  // shorter than the carried phase yields nothing and only moves the phase
  // closer, so later blocks stay in step.
  const std::uint64_t phase = phase_;
  const std::uint64_t outCount =
      stuffedCount > phase ? (stuffedCount - phase + down - 1) / down : 0;
  auto pick = [&](const double* stuffedSamples) {
    auto picked = std::make_unique_for_overwrite<double[]>(outCount);
    for (std::uint64_t k = 0; k < outCount; ++k) {
      picked[k] = stuffedSamples[phase + k * down];
    }
    return picked;
  };
  block->left = pick(left.get());
  block->right = right ? pick(right.get()) : nullptr;
  phase_ = static_cast<std::uint32_t>(phase + outCount * down - stuffedCount);
  block->count = static_cast<std::uint32_t>(outCount);
  return 1;
}

}  // namespace zel5
