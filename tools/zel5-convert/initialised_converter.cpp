#include "zel5-convert/initialised_converter.h"

#include <new>
#include <stdexcept>
#include <string>

namespace zel5::tools {
namespace {

std::string Describe(const WAVEFORMATEX& format) {
  return std::to_string(format.nSamplesPerSec) + " Hz " + std::to_string(format.nChannels) + " ch";
}

}  // namespace

FormatConverterPtr MakeInitialisedConverter(const WAVEFORMATEX& input, const WAVEFORMATEX& output,
                                            std::uint32_t& outputBytes) {
  FormatConverterPtr converter = MakeFormatConverter();
  if (converter == nullptr) {
    throw std::bad_alloc();
  }
  if (converter->Init(&input, input.nAvgBytesPerSec, &output, &outputBytes) != S_OK) {
    throw std::runtime_error("the converter refuses " + Describe(input) + " to " +
                             Describe(output));
  }
  return converter;
}

}  // namespace zel5::tools
