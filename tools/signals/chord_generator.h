// Sines at several frequencies summed and divided by their number, so that
// the chord never leaves [-1, 1].
#pragma once

#include <span>
#include <vector>

#include "signals/signal_generator.h"
#include "signals/sine_generator.h"

namespace zel5::signals {

class ChordGenerator final : public SignalGenerator {
 public:
  // frequencies must not be empty.
  ChordGenerator(std::span<const double> frequencies, double rate);
  double Next() override;

 private:
  std::vector<SineGenerator> tones_;
};

}  // namespace zel5::signals
