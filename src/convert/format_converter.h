// Per-stream conversion of blocks to the 16-bit (or 8-bit) PCM mix format:
// rate change, channel mapping, clipping and truncation.
#pragma once

#include <cstdint>
#include <memory>

#include "zel5/sample_block.h"
#include "zel5/wave_format.h"

namespace zel5 {

inline constexpr std::int32_t S_OK = 0;
inline constexpr std::int32_t E_FAIL = static_cast<std::int32_t>(0x80004005u);

// Made by CreateFormatConverter and given back through Release, never deleted.
class FormatConverter {
 public:
  // Slot order is fixed.
  virtual std::int32_t Init(const WAVEFORMATEX* inputFormat, std::uint32_t inputBytes,
                            const WAVEFORMATEX* outputFormat, std::uint32_t* outputBytes) = 0;
  virtual std::int32_t ConvertSamples(SampleBlock block, std::uint8_t* output,
                                      std::uint32_t outputSize, std::uint32_t* written) = 0;
  virtual std::int32_t ConvertBytes(const std::uint8_t* input, std::uint32_t inputBytes,
                                    std::uint8_t* output, std::uint32_t outputSize,
                                    std::uint32_t* written) = 0;
  virtual std::int32_t Reset() = 0;
  virtual std::int32_t Stop() = 0;
  virtual std::int32_t Release() = 0;
  virtual std::int32_t GetInputFormat(WAVEFORMATEX* format) = 0;
  virtual std::int32_t GetOutputFormat(WAVEFORMATEX* format) = 0;
  virtual std::uint32_t GetInputSize(std::uint32_t outputFrames) = 0;

 protected:
  ~FormatConverter() = default;
};

// Stores a new, not initialised converter (null when memory runs out) and
// returns S_OK.
std::int32_t CreateFormatConverter(FormatConverter** converter);

struct FormatConverterRelease {
  void operator()(FormatConverter* converter) const { converter->Release(); }
};
using FormatConverterPtr = std::unique_ptr<FormatConverter, FormatConverterRelease>;

// The converter, or null when memory ran out.
FormatConverterPtr MakeFormatConverter();

}  // namespace zel5
