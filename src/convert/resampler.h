// Rational L/M sample-rate change: L-1 zeros stuffed after every sample, a
// cascade of Butterworth low-pass stages at the stuffed rate, every M-th
// sample kept, the position of the next kept sample carried between blocks.
#pragma once

#include <cstdint>
#include <memory>

#include "convert/filter_node.h"
#include "convert/low_pass_stage.h"
#include "convert/owned_sample_block.h"

namespace zel5 {

struct RateFactors {
  std::int32_t up;    // L
  std::int32_t down;  // M
};

// The first fraction i/j (1 <= i, j <= 49, i outer) within 0.003 of
// outputRate/inputRate, or else the closest one; rates both below 20 are
// used as they are.
RateFactors FindRateFactors(std::int32_t outputRate, std::int32_t inputRate);

class Resampler : public FilterNode {
 public:
  Resampler() = default;
  ~Resampler() override = default;

  // Builds the cascade for this input format; FindRatio must come first.
  // The carried phase is kept.
  void SetFormat(const WAVEFORMATEX* format) override;
  // Converts the block to the output rate, replacing its arrays; returns 1.
  virtual int Resample(OwnedSampleBlock* block);

  void FindRatio(std::int32_t outputRate, std::int32_t inputRate);

  std::int32_t upFactor() const { return upFactor_; }
  std::int32_t downFactor() const { return downFactor_; }
  std::uint32_t phase() const { return phase_; }
  std::uint32_t stageCount() const { return stageCount_; }
  const LowPassStage& stage(std::uint32_t index) const { return stages_[index]; }

 private:
  std::unique_ptr<LowPassStage[]> stages_;
  std::uint32_t stageCount_ = 0;
  std::uint32_t phase_ = 0;
  std::int32_t upFactor_ = 1;
  std::int32_t downFactor_ = 1;
};

}  // namespace zel5
