#include "zel5-convert/convert_options.h"

#include <stdexcept>

#include "common/file_kind.h"
#include "common/number_text.h"
#include "common/wav_format.h"

namespace zel5::tools {
namespace {

const std::string* Find(const ArgList& args, const std::string& name) {
  const auto found = args.options.find(name);
  return found != args.options.end() ? &found->second : nullptr;
}

const std::string& Require(const ArgList& args, const std::string& name) {
  const std::string* value = Find(args, name);
  if (value == nullptr) {
    throw std::runtime_error(name + " is required");
  }
  return *value;
}

std::uint32_t Rate(const std::string& text, const std::string& name) {
  return static_cast<std::uint32_t>(ParseInteger(text, name, 1, kLargestRate));
}

std::uint16_t Channels(const std::string& text, const std::string& name) {
  return static_cast<std::uint16_t>(ParseInteger(text, name, 1, 2));
}

ConvertStage Stage(const std::string& text) {
  if (text == "pcm") {
    return ConvertStage::kPcm;
  }
  if (text == "resampled") {
    return ConvertStage::kResampled;
  }
  throw std::runtime_error("--stage must be pcm or resampled, not '" + text + "'");
}

}  // namespace

const std::set<std::string>& ConvertOptionNames() {
  static const std::set<std::string> kNames = {"--in-rate",      "--in-channels", "--out-rate",
                                               "--out-channels", "--block",       "--stage"};
  return kNames;
}

ConvertOptions ParseConvertOptions(const ArgList& args) {
  if (args.operands.size() != 2) {
    throw std::runtime_error("expected the operands IN and OUT, got " +
                             std::to_string(args.operands.size()));
  }
  ConvertOptions options;
  options.input = args.operands[0];
  options.output = args.operands[1];
  const bool wavInput = IsWavPath(options.input);
  if (const std::string* value = Find(args, "--in-rate")) {
    options.inRate = Rate(*value, "--in-rate");
  } else if (!wavInput) {
    throw std::runtime_error("--in-rate is required for the raw input " + options.input);
  }
  if (const std::string* value = Find(args, "--in-channels")) {
    options.inChannels = Channels(*value, "--in-channels");
  } else if (!wavInput) {
    throw std::runtime_error("--in-channels is required for the raw input " + options.input);
  }
  options.outRate = Rate(Require(args, "--out-rate"), "--out-rate");
  options.outChannels = Channels(Require(args, "--out-channels"), "--out-channels");
  if (const std::string* value = Find(args, "--block")) {
    options.blockFrames =
        static_cast<std::uint32_t>(ParseInteger(*value, "--block", 1, kLargestRate));
  }
  if (const std::string* value = Find(args, "--stage")) {
    options.stage = Stage(*value);
  }
  if (options.stage == ConvertStage::kResampled && IsWavPath(options.output)) {
    throw std::runtime_error("--stage resampled writes raw float64, not the WAV file " +
                             options.output);
  }
  return options;
}

}  // namespace zel5::tools
