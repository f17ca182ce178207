#include "signals/chord_generator.h"

namespace zel5::signals {

ChordGenerator::ChordGenerator(std::span<const double> frequencies, double rate) {
  tones_.reserve(frequencies.size());
  for (const double frequency : frequencies) {
    tones_.emplace_back(frequency, rate);
  }
}

double ChordGenerator::Next() {
  double sum = 0.0;
  for (SineGenerator& tone : tones_) {
    sum += tone.Next();
  }
  return sum / static_cast<double>(tones_.size());
}

}  // namespace zel5::signals
