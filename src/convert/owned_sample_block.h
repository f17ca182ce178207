// A block of samples that owns its arrays, as a block does inside a
// conversion: a stage that replaces an array frees the one it replaces.
#pragma once

#include <cstdint>
#include <memory>

#include "zel5/sample_block.h"

namespace zel5 {

struct OwnedSampleBlock {
  std::uint32_t count = 0;
  std::unique_ptr<double[]> left;
  std::unique_ptr<double[]> right;  // null for one channel

  SampleBlock view() const { return SampleBlock{count, left.get(), right.get()}; }
};

}  // namespace zel5
