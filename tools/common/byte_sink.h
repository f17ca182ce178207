// Where a tool's output bytes go: straight to the output stream, or into the
// data of a 16-bit WAV file.
#pragma once

#include <cstdint>
#include <memory>
#include <span>

#include "common/output_file.h"
#include "common/wav_format.h"

namespace zel5::tools {

class ByteSink {
 public:
  virtual ~ByteSink() = default;
  // Throws std::runtime_error naming the output when it cannot be written.
  virtual void Write(std::span<const std::uint8_t> bytes) = 0;
  // Completes the output; call once after the last Write.
  virtual void Finish() = 0;
};

std::unique_ptr<ByteSink> MakeRawSink(OutputFile& output);
// The bytes must be whole frames of `format`.
std::unique_ptr<ByteSink> MakeWavSink(OutputFile& output, WavFormat format);

}  // namespace zel5::tools
