// A FormatConverter initialised the way a stream's ring buffer initialises
// it: one second of 16-bit input as the input size.
#pragma once

#include <cstdint>

#include "convert/format_converter.h"

namespace zel5::tools {

// Stores the output buffer size the converter asks for in outputBytes.
// Throws std::runtime_error naming both formats when the converter refuses
// them.
FormatConverterPtr MakeInitialisedConverter(const WAVEFORMATEX& input, const WAVEFORMATEX& output,
                                            std::uint32_t& outputBytes);

}  // namespace zel5::tools
