// The --signal of zel5-signal: which generator, at which frequencies.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "signals/signal_generator.h"

namespace zel5::tools {

enum class SignalKind { kSine, kSweep, kNoise, kChord };

struct SignalChoice {
  SignalKind kind = SignalKind::kSine;
  double from = 0.0;  // the sine's frequency, or where the sweep starts
  double to = 0.0;    // where the sweep ends
};

// "sine:FREQ", "sweep:F1-F2", "noise" or "chord", frequencies in Hz from 0
// to `nyquist`; throws std::runtime_error naming the option otherwise.
SignalChoice ParseSignalChoice(const std::string& text, double nyquist);

// The generator for one channel: the noise of each channel has its own
// fixed seed, the other signals are the same on every channel.
std::unique_ptr<signals::SignalGenerator> MakeGenerator(const SignalChoice& choice,
                                                        std::uint32_t rate, std::uint64_t frames,
                                                        std::uint32_t channel);

}  // namespace zel5::tools
