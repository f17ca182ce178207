// The rate change alone, as the converter does it inside ConvertSamples: the
// same Resampler set up the same way, fed copies of the same blocks, its
// doubles written interleaved as raw float64 before any channel mapping or
// PCM rounding.
#pragma once

#include <cstdint>
#include <vector>

#include "convert/resampler.h"
#include "zel5-convert/block_stage.h"

namespace zel5::tools {

class ResampledStage final : public BlockStage {
 public:
  // Both formats are 16-bit PCM. Throws std::runtime_error for the formats
  // the converter refuses, so both stages take the same rate changes.
  ResampledStage(const WAVEFORMATEX& input, const WAVEFORMATEX& output);

  std::span<const std::uint8_t> Process(SampleBlock block) override;

 private:
  Resampler resampler_;
  std::uint16_t channels_;
  bool ratesDiffer_;
  std::vector<double> interleaved_;
  std::vector<std::uint8_t> bytes_;
};

}  // namespace zel5::tools
