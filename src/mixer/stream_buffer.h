// The recent audio of one host stream, already converted to the mix format,
// in a ring of bytes that the mixer reads from.
#pragma once

#include <cstdint>
#include <memory>

#include "convert/format_converter.h"
#include "zel5/host_interfaces.h"
#include "zel5/wave_format.h"

namespace zel5 {

// Not locked: the mixer serialises every call.
class StreamBuffer final {
 public:
  // Asks the stream for its rate, channels and bits per sample, in that
  // order, and allocates everything a write needs. Throws std::bad_alloc.
  StreamBuffer(HostStream& stream, const WAVEFORMATEX& mixFormat);
  StreamBuffer(const StreamBuffer&) = delete;
  StreamBuffer& operator=(const StreamBuffer&) = delete;

  // Converts the stream's current block and appends it, dropping the oldest
  // audio when the ring overruns.
  void Write(HostStream& stream);
  // Unread bytes: always whole mix frames, always fewer than RingSize().
  std::uint32_t Available() const;
  // Adds up to byteCount / 2 unread samples to sums[0], sums[1], ... and
  // consumes them.
  void MixInto(std::int32_t* sums, std::uint32_t byteCount);

  // Two seconds of the mix format.
  std::uint32_t RingSize() const { return ringSize_; }
  // One second of the stream's own format: the most one conversion takes.
  std::uint32_t InputByteLimit() const { return inputByteLimit_; }
  // Bytes of one frame of the stream's own format.
  std::uint32_t InputFrameSize() const { return inputFrameSize_; }

 private:
  void Append(const std::uint8_t* bytes, std::uint32_t count);

  FormatConverterPtr converter_;
  std::uint32_t ringSize_;
  std::unique_ptr<std::uint8_t[]> ring_;
  std::uint32_t readPosition_ = 0;
  std::uint32_t writePosition_ = 0;
  std::uint32_t mixFrameSize_;
  std::uint32_t inputFrameSize_ = 0;
  std::uint32_t inputByteLimit_ = 0;
  std::uint32_t scratchSize_ = 0;
  std::unique_ptr<std::uint8_t[]> scratch_;
};

}  // namespace zel5
