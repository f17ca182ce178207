// What a zel5-signal command line asks for.
#pragma once

#include <cstdint>
#include <set>
#include <string>

#include "common/arg_list.h"
#include "zel5-signal/signal_choice.h"

namespace zel5::tools {

struct SignalOptions {
  std::uint32_t rate = 0;
  std::uint16_t channels = 0;
  std::uint64_t frames = 0;  // --seconds at the rate, rounded
  SignalChoice signal;
  double gain = 0.5;
  std::string output;
};

// The options zel5-signal takes.
const std::set<std::string>& SignalOptionNames();

// Throws std::runtime_error naming the option or operand at fault.
SignalOptions ParseSignalOptions(const ArgList& args);

}  // namespace zel5::tools
