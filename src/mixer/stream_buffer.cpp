#include "mixer/stream_buffer.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace zel5 {
namespace {

std::int16_t LittleEndianSample(const std::uint8_t* bytes) {
  return static_cast<std::int16_t>(bytes[0] | bytes[1] << 8);
}

}  // namespace

// The ring holds converted audio, so it is two seconds of the mix format, not
// of the stream's own: it is then a whole number of mix frames, and holds a
// second of any stream, converted, with room for the next.
StreamBuffer::StreamBuffer(HostStream& stream, const WAVEFORMATEX& mixFormat)
    : converter_(MakeFormatConverter()),
      ringSize_(2u * mixFormat.nSamplesPerSec * mixFormat.nBlockAlign),
      ring_(std::make_unique_for_overwrite<std::uint8_t[]>(ringSize_)),
      mixFrameSize_(mixFormat.nBlockAlign) {
  if (!converter_) {
    throw std::bad_alloc();
  }
  const std::uint32_t rate = stream.GetSampleRate();
  const auto channels = static_cast<std::uint16_t>(stream.GetChannels());
  const auto bits = static_cast<std::uint16_t>(stream.GetBitsPerSample());
  // The stream's whole frame, so that one second of input is its rate in
  // frames for every format, the length the scratch array is sized for.
  inputFrameSize_ = static_cast<std::uint32_t>(channels) * bits / 8;
  inputByteLimit_ = inputFrameSize_ * rate;
  const auto blockAlign = static_cast<std::uint16_t>(inputFrameSize_);
  const WAVEFORMATEX input{ZEL5_WAVE_FORMAT_PCM, channels, rate, rate * blockAlign,
                           blockAlign,           bits,     0};
  // A format the converter refuses (no rate, no whole bytes per frame)
  // leaves the scratch size at 0, and the stream records nothing.
  converter_->Init(&input, inputByteLimit_, &mixFormat, &scratchSize_);
  scratch_ = std::make_unique_for_overwrite<std::uint8_t[]>(scratchSize_);
}

void StreamBuffer::Write(HostStream& stream) {
  const SampleBlock* block = stream.GetSamples();
  const std::uint32_t pieceFrames = inputFrameSize_ == 0 ? 0 : inputByteLimit_ / inputFrameSize_;
  if (block == nullptr || block->left == nullptr || pieceFrames == 0) {
    return;
  }
  // A block longer than the one second the scratch array holds goes through
  // in pieces of one second, so none of it is lost.
  for (std::uint32_t done = 0; done < block->count;) {
    const std::uint32_t frames = std::min(pieceFrames, block->count - done);
    const SampleBlock piece{frames, block->left + done,
                            block->right == nullptr ? nullptr : block->right + done};
    std::uint32_t produced = 0;
    converter_->ConvertSamples(piece, scratch_.get(), scratchSize_, &produced);
    Append(scratch_.get(), produced);
    done += frames;
  }
}

void StreamBuffer::Append(const std::uint8_t* bytes, std::uint32_t count) {
  // A ring size that wrapped to exactly 0 (a mix format whose two seconds are
  // a multiple of 4 GiB) leaves nothing to write into.
  if (count == 0 || ringSize_ == 0) {
    return;
  }
  const bool overrun = std::uint64_t{Available()} + count >= ringSize_;
  // Under a mix rate far below the stream's, the resampler's coarsest ratio
  // can give one second more than the ring holds: only the newest part can
  // stay.
  if (count > ringSize_) {
    bytes += count - ringSize_;
    count = ringSize_;
  }
  const std::uint32_t toEnd = std::min(count, ringSize_ - writePosition_);
  std::memcpy(ring_.get() + writePosition_, bytes, toEnd);
  std::memcpy(ring_.get(), bytes + toEnd, count - toEnd);
  writePosition_ = static_cast<std::uint32_t>((std::uint64_t{writePosition_} + count) % ringSize_);
  // An overrun keeps the newest ring size less one mix frame: the read
  // position stays on a frame boundary, so left stays left.
  if (overrun) {
    readPosition_ =
        static_cast<std::uint32_t>((std::uint64_t{writePosition_} + mixFrameSize_) % ringSize_);
  }
}

std::uint32_t StreamBuffer::Available() const {
  return writePosition_ >= readPosition_ ? writePosition_ - readPosition_
                                         : ringSize_ - readPosition_ + writePosition_;
}

void StreamBuffer::MixInto(std::int32_t* sums, std::uint32_t byteCount) {
  const std::uint32_t samples = std::min(byteCount, Available()) / 2;
  for (std::uint32_t i = 0; i < samples; ++i) {
    sums[i] += LittleEndianSample(ring_.get() + readPosition_);
    readPosition_ += 2;
    if (readPosition_ == ringSize_) {
      readPosition_ = 0;
    }
  }
}

}  // namespace zel5
