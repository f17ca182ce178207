// Frames from a raw stream of interleaved little-endian doubles.
#pragma once

#include <memory>
#include <vector>

#include "common/float64_reader.h"
#include "common/input_file.h"
#include "zel5-convert/frame_source.h"

namespace zel5::tools {

class Float64Source final : public FrameSource {
 public:
  Float64Source(std::unique_ptr<InputFile> file, std::uint32_t channels);

  std::uint32_t Read(std::span<double> left, std::span<double> right) override;

 private:
  std::unique_ptr<InputFile> file_;
  std::uint32_t channels_;
  Float64Reader reader_;
  std::vector<double> interleaved_;
};

}  // namespace zel5::tools
