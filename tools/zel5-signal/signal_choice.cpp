#include "zel5-signal/signal_choice.h"

#include <array>
#include <stdexcept>

#include "common/number_text.h"
#include "signals/chord_generator.h"
#include "signals/noise_generator.h"
#include "signals/sine_generator.h"
#include "signals/sweep_generator.h"

namespace zel5::tools {
namespace {

constexpr std::uint64_t kNoiseSeed = 5489;
// A major: A4 and the equal-tempered major third and fifth above it.
constexpr std::array<double, 3> kChord = {440.0, 554.3652619537442, 659.2551138257398};

double Frequency(const std::string& text, const std::string& choice, double nyquist) {
  return ParseDecimal(text, "the frequency in --signal " + choice, 0.0, nyquist);
}

}  // namespace

SignalChoice ParseSignalChoice(const std::string& text, double nyquist) {
  if (text == "noise") {
    return SignalChoice{SignalKind::kNoise, 0.0, 0.0};
  }
  if (text == "chord") {
    return SignalChoice{SignalKind::kChord, 0.0, 0.0};
  }
  const std::string sine = "sine:";
  if (text.starts_with(sine)) {
    const double frequency = Frequency(text.substr(sine.size()), text, nyquist);
    return SignalChoice{SignalKind::kSine, frequency, frequency};
  }
  const std::string sweep = "sweep:";
  const std::size_t dash = text.find('-', sweep.size());
  if (text.starts_with(sweep) && dash != std::string::npos) {
    return SignalChoice{SignalKind::kSweep,
                        Frequency(text.substr(sweep.size(), dash - sweep.size()), text, nyquist),
                        Frequency(text.substr(dash + 1), text, nyquist)};
  }
  throw std::runtime_error("--signal must be sine:FREQ, sweep:F1-F2, noise or chord, not '" + text +
                           "'");
}

std::unique_ptr<signals::SignalGenerator> MakeGenerator(const SignalChoice& choice,
                                                        std::uint32_t rate, std::uint64_t frames,
                                                        std::uint32_t channel) {
  switch (choice.kind) {
    case SignalKind::kSweep:
      return std::make_unique<signals::SweepGenerator>(choice.from, choice.to, rate, frames);
    case SignalKind::kNoise:
      return std::make_unique<signals::NoiseGenerator>(kNoiseSeed + channel);
    case SignalKind::kChord:
      return std::make_unique<signals::ChordGenerator>(kChord, rate);
    case SignalKind::kSine:
      break;
  }
  return std::make_unique<signals::SineGenerator>(choice.from, rate);
}

}  // namespace zel5::tools
