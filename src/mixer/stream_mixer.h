// All host streams' audio, each in a ring of its own in one common format,
// summed into blocks of 16-bit PCM for the encoder.
#pragma once

#include <cstdint>
#include <map>
#include <memory>

#include "platform/lock.h"
#include "zel5/host_interfaces.h"
#include "zel5/wave_format.h"

namespace zel5 {

class StreamBuffer;

class StreamMixer final {
 public:
  // The stream fixes the mix format for the mixer's life; it is not entered
  // as a stream. Throws std::bad_alloc.
  explicit StreamMixer(HostStream& formatSource);
  ~StreamMixer();
  StreamMixer(const StreamMixer&) = delete;
  StreamMixer& operator=(const StreamMixer&) = delete;

  // Unlocked: written only by the constructor.
  WAVEFORMATEX GetMixFormat() const { return mixFormat_; }
  // Open streams: those given to AddStreamData and not removed since.
  std::uint32_t StreamCount() const;
  // Rings that Mix still reads: open streams' and removed streams' with
  // unread audio.
  std::uint32_t RingCount() const;
  // Converts the stream's current block into its ring, made on its first
  // data. A failed allocation (std::bad_alloc) leaves the mixer unchanged.
  void AddStreamData(HostStream& stream);
  // Closes the stream's entry; an unknown id changes nothing.
  void RemoveStream(HostStream& stream);
  // The next mixed block and its byte count, or null and 0 when no ring has
  // audio. The block is valid until the next Mix; one caller at a time.
  const std::int16_t* Mix(std::uint32_t& byteCount);

 private:
  mutable platform::Lock lock_;
  const WAVEFORMATEX mixFormat_;
  std::map<std::uint32_t, std::unique_ptr<StreamBuffer>> streams_;
  std::multimap<std::uint32_t, std::unique_ptr<StreamBuffer>> closing_;
  const std::uint32_t mixBufferSize_;
  std::unique_ptr<std::int16_t[]> mixBuffer_;
  std::unique_ptr<std::int32_t[]> sums_;
};

}  // namespace zel5
