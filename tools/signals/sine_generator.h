// sin(2 pi f n / rate), starting at 0 with the first sample.
#pragma once

#include <cstdint>

#include "signals/signal_generator.h"

namespace zel5::signals {

class SineGenerator final : public SignalGenerator {
 public:
  SineGenerator(double frequency, double rate);
  double Next() override;

 private:
  double cyclesPerSample_;
  std::uint64_t index_ = 0;
};

}  // namespace zel5::signals
