#include "zel5-convert/open_input.h"

#include <stdexcept>
#include <string>

#include "common/file_kind.h"
#include "common/wav_format.h"
#include "zel5-convert/float64_source.h"
#include "zel5-convert/wav_source.h"

namespace zel5::tools {
namespace {

ConvertInput OpenWav(const ConvertOptions& options, std::unique_ptr<InputFile> file) {
  auto source = std::make_unique<WavSource>(std::move(file));
  const WavFormat format = source->format();
  if (format.channels > 2) {
    throw std::runtime_error(options.input + " has " + std::to_string(format.channels) +
                             " channels; only 1 or 2 are converted");
  }
  if (options.inChannels && *options.inChannels != format.channels) {
    throw std::runtime_error("--in-channels " + std::to_string(*options.inChannels) +
                             " disagrees with " + options.input + ", which has " +
                             std::to_string(format.channels));
  }
  if (!options.inRate && format.rate > kLargestRate) {
    throw std::runtime_error(options.input + " is at " + std::to_string(format.rate) +
                             " Hz, above the highest rate " + std::to_string(kLargestRate) +
                             "; give --in-rate");
  }
  const std::uint32_t rate = options.inRate.value_or(format.rate);
  return ConvertInput{std::move(source), rate, format.channels};
}

}  // namespace

ConvertInput OpenInput(const ConvertOptions& options, std::istream& standardInput) {
  auto file = std::make_unique<InputFile>(options.input, standardInput);
  if (IsWavPath(options.input)) {
    return OpenWav(options, std::move(file));
  }
  const std::uint16_t channels = options.inChannels.value();
  return ConvertInput{std::make_unique<Float64Source>(std::move(file), channels),
                      options.inRate.value(), channels};
}

}  // namespace zel5::tools
