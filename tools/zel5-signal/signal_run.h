// Writes the signal a zel5-signal command line asks for.
#pragma once

#include <ostream>

#include "zel5-signal/signal_options.h"

namespace zel5::tools {

// Writes options.frames frames to OUT ("-" being standardOutput): raw
// float64, or 16-bit PCM for a .wav name. Throws std::runtime_error on any
// failure, after which nothing is left under OUT's name that was not there
// before.
void RunSignal(const SignalOptions& options, std::ostream& standardOutput);

}  // namespace zel5::tools
