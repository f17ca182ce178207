// Writes a 16-bit PCM RIFF/WAVE file: the header with its sizes left open,
// the samples as they come, then the sizes filled in.
#pragma once

#include <cstdint>
#include <ostream>
#include <span>
#include <string>

#include "common/wav_format.h"

namespace zel5::tools {

class WavWriter {
 public:
  // Writes the header at the stream's position; `out` must be seekable (a
  // file) for Finish. `name` is how errors refer to it. Throws
  // std::runtime_error when the rate's bytes per second do not fit 32 bits.
  WavWriter(std::ostream& out, std::string name, WavFormat format);

  // Appends whole frames of little-endian interleaved 16-bit samples. Throws
  // std::runtime_error once the data would outgrow a WAV file's 32-bit sizes.
  void Write(std::span<const std::uint8_t> pcm);
  // Fills in the sizes; call once after the last Write.
  void Finish();

 private:
  std::ostream& out_;
  std::string name_;
  std::streampos start_;
  std::uint64_t dataBytes_ = 0;
};

}  // namespace zel5::tools
