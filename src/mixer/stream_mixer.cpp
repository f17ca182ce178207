#include "mixer/stream_mixer.h"

#include <algorithm>
#include <limits>

#include "mixer/mix_format.h"
#include "mixer/stream_buffer.h"

namespace zel5 {

StreamMixer::StreamMixer(HostStream& formatSource)
    : mixFormat_(MixFormatFor(formatSource)),
      mixBufferSize_(mixFormat_.nAvgBytesPerSec),
      mixBuffer_(std::make_unique<std::int16_t[]>(mixBufferSize_ / 2)),
      sums_(std::make_unique_for_overwrite<std::int32_t[]>(mixBufferSize_ / 2)) {}

StreamMixer::~StreamMixer() = default;

std::uint32_t StreamMixer::StreamCount() const {
  platform::ScopedLock hold(lock_);
  return static_cast<std::uint32_t>(streams_.size());
}

std::uint32_t StreamMixer::RingCount() const {
  platform::ScopedLock hold(lock_);
  return static_cast<std::uint32_t>(streams_.size() + closing_.size());
}

void StreamMixer::AddStreamData(HostStream& stream) {
  platform::ScopedLock hold(lock_);
  const std::uint32_t id = stream.GetStreamId();
  auto found = streams_.find(id);
  if (found == streams_.end()) {
    // The buffer is made before the entry, so no entry is ever without one.
    auto buffer = std::make_unique<StreamBuffer>(stream, mixFormat_);
    found = streams_.emplace(id, std::move(buffer)).first;
  }
  found->second->Write(stream);
}

// A closed stream's unread audio is still mixed: its ring leaves the map, so
// the host may reuse the id at once, and is read until it is empty.
void StreamMixer::RemoveStream(HostStream& stream) {
  platform::ScopedLock hold(lock_);
  const auto found = streams_.find(stream.GetStreamId());
  if (found == streams_.end()) {
    return;
  }
  auto entry = streams_.extract(found);
  if (entry.mapped()->Available() != 0) {
    closing_.insert(std::move(entry));
  }
}

const std::int16_t* StreamMixer::Mix(std::uint32_t& byteCount) {
  platform::ScopedLock hold(lock_);
  byteCount = 0;
  const auto eachRing = [this](auto&& visit) {
    for (auto& [id, ring] : streams_) {
      visit(*ring);
    }
    for (auto& [id, ring] : closing_) {
      visit(*ring);
    }
  };
  // The smallest amount a ring with audio holds: every such ring gives all
  // of it, and a ring without audio is silence and holds nobody back.
  constexpr std::uint32_t kNoAudio = std::numeric_limits<std::uint32_t>::max();
  std::uint32_t amount = kNoAudio;
  eachRing([&amount](StreamBuffer& ring) {
    const std::uint32_t available = ring.Available();
    if (available != 0 && available < amount) {
      amount = available;
    }
  });
  if (amount == kNoAudio) {
    return nullptr;
  }
  amount = std::min(amount, mixBufferSize_);
  const std::uint32_t samples = amount / 2;
  std::fill_n(sums_.get(), samples, 0);
  eachRing([this, amount](StreamBuffer& ring) { ring.MixInto(sums_.get(), amount); });
  // The sum is taken in 32 bits and clamped once, so two loud streams clip
  // instead of wrapping into noise, and the order of the streams cannot
  // change the result.
  for (std::uint32_t i = 0; i < samples; ++i) {
    mixBuffer_[i] = static_cast<std::int16_t>(
        std::clamp<std::int32_t>(sums_[i], std::numeric_limits<std::int16_t>::min(),
                                 std::numeric_limits<std::int16_t>::max()));
  }
  std::erase_if(closing_, [](const auto& entry) { return entry.second->Available() == 0; });
  byteCount = samples * 2;
  return mixBuffer_.get();
}

}  // namespace zel5
