#include "signals/sine_generator.h"

#include "signals/cycle_phase.h"

namespace zel5::signals {

SineGenerator::SineGenerator(double frequency, double rate) : cyclesPerSample_(frequency / rate) {}

double SineGenerator::Next() {
  // From the index rather than a running sum, so no error accumulates.
  return SinOfCycles(cyclesPerSample_ * static_cast<double>(index_++));
}

}  // namespace zel5::signals
