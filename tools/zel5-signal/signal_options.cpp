#include "zel5-signal/signal_options.h"

#include <cmath>
#include <stdexcept>

#include "common/number_text.h"
#include "common/wav_format.h"

namespace zel5::tools {
namespace {

constexpr double kLongestSeconds = 86400.0;
constexpr double kLargestGain = 10.0;
constexpr const char* kDefaultSignal = "sine:440";

const std::string& Require(const ArgList& args, const std::string& name) {
  const auto found = args.options.find(name);
  if (found == args.options.end()) {
    throw std::runtime_error(name + " is required");
  }
  return found->second;
}

}  // namespace

const std::set<std::string>& SignalOptionNames() {
  static const std::set<std::string> kNames = {"--rate", "--channels", "--seconds", "--signal",
                                               "--gain"};
  return kNames;
}

SignalOptions ParseSignalOptions(const ArgList& args) {
  if (args.operands.size() != 1) {
    throw std::runtime_error("expected the one operand OUT, got " +
                             std::to_string(args.operands.size()));
  }
  SignalOptions options;
  options.output = args.operands[0];
  options.rate =
      static_cast<std::uint32_t>(ParseInteger(Require(args, "--rate"), "--rate", 1, kLargestRate));
  options.channels =
      static_cast<std::uint16_t>(ParseInteger(Require(args, "--channels"), "--channels", 1, 2));
  const std::string& secondsText = Require(args, "--seconds");
  const double seconds = ParseDecimal(secondsText, "--seconds", 0.0, kLongestSeconds);
  options.frames = static_cast<std::uint64_t>(std::llround(seconds * options.rate));
  if (options.frames == 0) {
    throw std::runtime_error("--seconds " + secondsText + " is less than one frame at " +
                             std::to_string(options.rate) + " Hz");
  }
  const auto signal = args.options.find("--signal");
  options.signal = ParseSignalChoice(signal != args.options.end() ? signal->second : kDefaultSignal,
                                     options.rate / 2.0);
  if (const auto found = args.options.find("--gain"); found != args.options.end()) {
    options.gain = ParseDecimal(found->second, "--gain", 0.0, kLargestGain);
  }
  return options;
}

}  // namespace zel5::tools
