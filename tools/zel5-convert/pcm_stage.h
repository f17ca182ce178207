// The converter's own output: one FormatConverter set up as a stream's ring
// buffer sets it up and fed block after block.
#pragma once

#include <memory>

#include "convert/format_converter.h"
#include "zel5-convert/block_stage.h"

namespace zel5::tools {

class PcmStage final : public BlockStage {
 public:
  // Both formats are 16-bit PCM. Throws std::runtime_error when the
  // converter refuses them.
  PcmStage(const WAVEFORMATEX& input, const WAVEFORMATEX& output);

  std::span<const std::uint8_t> Process(SampleBlock block) override;

 private:
  std::uint32_t bufferBytes_ = 0;
  FormatConverterPtr converter_;
  std::unique_ptr<std::uint8_t[]> buffer_;
};

}  // namespace zel5::tools
