// One block of input doubles in, the bytes the tool writes for it out.
#pragma once

#include <cstdint>
#include <span>

#include "zel5/sample_block.h"

namespace zel5::tools {

class BlockStage {
 public:
  virtual ~BlockStage() = default;
  // The bytes stay valid until the next call. Throws std::runtime_error when
  // the block is refused.
  virtual std::span<const std::uint8_t> Process(SampleBlock block) = 0;
};

}  // namespace zel5::tools
