// Opens IN and settles its rate and channels from the options and, for a
// .wav file, from its header.
#pragma once

#include <cstdint>
#include <istream>
#include <memory>

#include "zel5-convert/convert_options.h"
#include "zel5-convert/frame_source.h"

namespace zel5::tools {

struct ConvertInput {
  std::unique_ptr<FrameSource> source;
  std::uint32_t rate = 0;
  std::uint16_t channels = 0;
};

// Throws std::runtime_error when IN cannot be read, is not a usable WAV file,
// or disagrees with --in-channels.
ConvertInput OpenInput(const ConvertOptions& options, std::istream& standardInput);

}  // namespace zel5::tools
