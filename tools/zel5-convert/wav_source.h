// Frames from a 16-bit PCM WAV file, each sample as int16 / 32768.
#pragma once

#include <memory>
#include <vector>

#include "common/input_file.h"
#include "common/wav_reader.h"
#include "zel5-convert/frame_source.h"

namespace zel5::tools {

class WavSource final : public FrameSource {
 public:
  // Reads the header; throws std::runtime_error as WavReader does.
  explicit WavSource(std::unique_ptr<InputFile> file);

  const WavFormat& format() const { return reader_.format(); }
  std::uint32_t Read(std::span<double> left, std::span<double> right) override;

 private:
  std::unique_ptr<InputFile> file_;
  WavReader reader_;
  std::vector<std::int16_t> interleaved_;
};

}  // namespace zel5::tools
