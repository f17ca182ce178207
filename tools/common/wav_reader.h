// Reads a 16-bit PCM RIFF/WAVE stream: the header up to the samples, then the
// samples block by block, so a long file is never held in memory.
#pragma once

#include <cstdint>
#include <istream>
#include <span>
#include <string>
#include <vector>

#include "common/wav_format.h"

namespace zel5::tools {

class WavReader {
 public:
  // Reads the chunks up to the start of the data (skipping any it does not
  // know) and accepts plain PCM or the extensible form with a PCM subformat.
  // Throws std::runtime_error naming the stream (`name`) for anything else: a
  // stream that is not RIFF/WAVE, samples other than 16 bits, a missing or
  // malformed fmt chunk, no data chunk, data that ends inside a frame.
  WavReader(std::istream& in, std::string name);

  const WavFormat& format() const { return format_; }
  // What the data chunk declares.
  std::uint64_t frames() const { return frames_; }

  // Fills `interleaved` (whole frames) with the next samples and returns the
  // frames read, fewer only at the end of the data. Throws
  // std::runtime_error when the stream ends before the declared data does.
  std::size_t ReadFrames(std::span<std::int16_t> interleaved);

 private:
  void ReadExactly(std::uint8_t* bytes, std::size_t size, const char* what);
  void Skip(std::uint64_t size, const char* what);
  void ReadFormatChunk(std::uint32_t size);
  [[noreturn]] void Fail(const std::string& problem) const;

  std::istream& in_;
  std::string name_;
  WavFormat format_;
  std::uint64_t frames_ = 0;
  std::uint64_t framesRead_ = 0;
  std::vector<std::uint8_t> bytes_;
};

}  // namespace zel5::tools
