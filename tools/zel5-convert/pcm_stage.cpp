#include "zel5-convert/pcm_stage.h"

#include <stdexcept>
#include <string>

#include "zel5-convert/initialised_converter.h"

namespace zel5::tools {

PcmStage::PcmStage(const WAVEFORMATEX& input, const WAVEFORMATEX& output)
    : converter_(MakeInitialisedConverter(input, output, bufferBytes_)),
      buffer_(std::make_unique_for_overwrite<std::uint8_t[]>(bufferBytes_)) {}

std::span<const std::uint8_t> PcmStage::Process(SampleBlock block) {
  std::uint32_t written = 0;
  if (converter_->ConvertSamples(block, buffer_.get(), bufferBytes_, &written) != S_OK) {
    throw std::runtime_error("the converter refuses a block of " + std::to_string(block.count) +
                             " frames");
  }
  return {buffer_.get(), written};
}

}  // namespace zel5::tools
