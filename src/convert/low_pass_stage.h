// One second-order Butterworth low-pass filter over one or two channels,
// designed by the bilinear transform.
#pragma once

#include <array>
#include <cstdint>

#include "convert/filter_node.h"
#include "iir/iir_state.h"

namespace zel5 {

class LowPassStage : public FilterNode {
 public:
  LowPassStage() = default;
  ~LowPassStage() override;

  // Designs the filter for the format's rate at the current cutoff; both
  // channels restart from zeroed delay lines.
  void SetFormat(const WAVEFORMATEX* format) override;
  // Filters left, and right when given, in place; returns 1.
  int Filter(SampleBlock block) override;

  void SetCutoff(std::int32_t hz) { cutoff_ = hz; }
  std::int32_t cutoff() const { return cutoff_; }
  // b0, b1, b2, a0 (= 1), a1, a2 of the last design.
  const std::array<double, 6>& coefficients() const { return coefficients_; }
  const IirState& leftState() const { return leftState_; }
  const IirState& rightState() const { return rightState_; }

 private:
  bool designed() const { return leftState_.initMark != 0; }

  std::int32_t cutoff_ = 0;
  std::array<double, 6> coefficients_{};
  IirState leftState_{};
  IirState rightState_{};
};

}  // namespace zel5
