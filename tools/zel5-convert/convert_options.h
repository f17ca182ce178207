// What a zel5-convert command line asks for.
#pragma once

#include <cstdint>
#include <optional>
#include <set>
#include <string>

#include "common/arg_list.h"

namespace zel5::tools {

enum class ConvertStage {
  kPcm,        // the converter's 16-bit PCM
  kResampled,  // the doubles after the rate change, before channels and PCM
};

struct ConvertOptions {
  std::optional<std::uint32_t> inRate;      // a .wav input's own by default
  std::optional<std::uint16_t> inChannels;  // a .wav input's own by default
  std::uint32_t outRate = 0;
  std::uint16_t outChannels = 0;
  std::optional<std::uint32_t> blockFrames;  // 10 ms of input by default
  ConvertStage stage = ConvertStage::kPcm;
  std::string input;
  std::string output;
};

// The options zel5-convert takes.
const std::set<std::string>& ConvertOptionNames();

// Checks everything that can be checked without opening a file; throws
// std::runtime_error naming the option or operand at fault.
ConvertOptions ParseConvertOptions(const ArgList& args);

}  // namespace zel5::tools
