// Writes one 16-bit PCM RIFF/WAVE file. The header's sizes are brought up to
// date after every block, so a file left by a host that died mid-recording
// still plays up to the last block. WriteBlock keeps whole frames only and
// drops a trailing partial frame. Data that would not fit a 32-bit RIFF size
// is refused rather than wrapping the header. After a write error nothing
// more is written and the counters stay where they were. Counter A is frames
// written since Open, counter B bytes of audio written since Open.
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>

#include "zel5/encoder_api.h"

namespace zel5::wav {

class WavEncoder final : public zel5::Encoder {
 public:
  explicit WavEncoder(const WAVEFORMATEX& format) : format_(format) {}

  std::int32_t Open(const char* path) override;
  std::int32_t Close() override;
  std::int32_t WriteBlock(const void* samples, std::uint32_t byteCount) override;
  std::int32_t QueryCounterA(std::uint32_t* value) override;
  std::int32_t QueryCounterB(std::uint32_t* value) override;
  std::int32_t GetInfo(EncoderInfo* info) override;

 private:
  struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
  };

  bool WriteHeader();
  bool UpdateSizes();
  std::int32_t AppendFrames(const void* samples, std::uint32_t byteCount);

  WAVEFORMATEX format_;
  std::unique_ptr<std::FILE, FileCloser> file_;
  std::uint32_t dataBytes_ = 0;
  bool failed_ = false;
};

}  // namespace zel5::wav
