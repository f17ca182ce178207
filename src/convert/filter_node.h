// Base of the nodes that process blocks of double samples in place.
#pragma once

#include <cstdint>

#include "zel5/sample_block.h"
#include "zel5/wave_format.h"

namespace zel5 {

class FilterNode {
 public:
  FilterNode() = default;
  FilterNode(const FilterNode&) = delete;
  FilterNode& operator=(const FilterNode&) = delete;

  // Slot order is fixed: destructor, SetFormat, Process, Nop, SetNext, Filter.
  virtual ~FilterNode() = default;
  virtual void SetFormat(const WAVEFORMATEX* format);
  // Runs the next node (if any) on the same block, then this node's Filter;
  // 1 if Filter gave non-zero, else 0.
  virtual int Process(SampleBlock block);
  virtual void Nop();
  virtual void SetNext(FilterNode* node);
  virtual int Filter(SampleBlock block);

  std::uint32_t rate() const { return rate_; }
  std::uint32_t channels() const { return channels_; }

 private:
  FilterNode* next_ = nullptr;
  std::uint32_t rate_ = 0;
  std::uint32_t channels_ = 0;
};

}  // namespace zel5
