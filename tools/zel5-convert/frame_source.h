// The input of a conversion, delivered as blocks of doubles.
#pragma once

#include <cstdint>
#include <span>

namespace zel5::tools {

class FrameSource {
 public:
  virtual ~FrameSource() = default;
  // Fills left (and right, for two channels; empty for one) with the next
  // frames, at most left.size(); returns the frames read, 0 at the end.
  // Throws std::runtime_error naming the input when it is unreadable or
  // malformed.
  virtual std::uint32_t Read(std::span<double> left, std::span<double> right) = 0;
};

}  // namespace zel5::tools
