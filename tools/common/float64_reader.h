// Reads a raw stream of interleaved little-endian doubles frame by frame.
#pragma once

#include <cstdint>
#include <istream>
#include <span>
#include <string>
#include <vector>

namespace zel5::tools {

class Float64Reader {
 public:
  // `name` is how errors refer to the stream.
  Float64Reader(std::istream& in, std::string name, std::uint32_t channels);

  // Fills `interleaved` (whole frames) from the stream and returns the frames
  // read, fewer only at the end and 0 after it. Throws std::runtime_error
  // when the stream fails or ends inside a frame.
  std::size_t ReadFrames(std::span<double> interleaved);

 private:
  std::istream& in_;
  std::string name_;
  std::uint32_t channels_;
  std::vector<std::uint8_t> bytes_;
};

}  // namespace zel5::tools
