#include "signals/sweep_generator.h"

#include "signals/cycle_phase.h"

namespace zel5::signals {

SweepGenerator::SweepGenerator(double from, double to, double rate, std::uint64_t frames)
    : from_(from), rate_(rate), chirp_((to - from) * rate / static_cast<double>(frames)) {}

double SweepGenerator::Next() {
  // The phase is the integral of the frequency from + chirp * t.
  const double t = static_cast<double>(index_++) / rate_;
  return SinOfCycles(from_ * t + 0.5 * chirp_ * t * t);
}

}  // namespace zel5::signals
