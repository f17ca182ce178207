// A sine whose frequency rises (or falls) linearly from `from` at the first
// sample to `to` one sample past the last of `frames`.
#pragma once

#include <cstdint>

#include "signals/signal_generator.h"

namespace zel5::signals {

class SweepGenerator final : public SignalGenerator {
 public:
  // frames must be at least 1.
  SweepGenerator(double from, double to, double rate, std::uint64_t frames);
  double Next() override;

 private:
  double from_;
  double rate_;
  double chirp_;  // frequency change per second
  std::uint64_t index_ = 0;
};

}  // namespace zel5::signals
