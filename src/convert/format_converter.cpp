#include "convert/format_converter.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <new>

#include "convert/owned_sample_block.h"
#include "convert/pcm_samples.h"
#include "convert/resampler.h"

namespace zel5 {
namespace {

std::uint32_t BytesPerFrame(const WAVEFORMATEX& format) {
  return static_cast<std::uint32_t>(format.nChannels) * format.wBitsPerSample / 8;
}

std::unique_ptr<double[]> CopyOf(const double* samples, std::uint32_t count) {
  auto copy = std::make_unique_for_overwrite<double[]>(count);
  std::memcpy(copy.get(), samples, count * sizeof(double));
  return copy;
}

// At most this many stuffed samples per block: the filter kernel counts them
// in an int.
constexpr std::uint64_t kLargestStuffedBlock = std::numeric_limits<std::int32_t>::max();

class FormatConverterImpl final : public FormatConverter {
 public:
  std::int32_t Init(const WAVEFORMATEX* inputFormat, std::uint32_t inputBytes,
                    const WAVEFORMATEX* outputFormat, std::uint32_t* outputBytes) override;
  std::int32_t ConvertSamples(SampleBlock block, std::uint8_t* output, std::uint32_t outputSize,
                              std::uint32_t* written) override;
  std::int32_t ConvertBytes(const std::uint8_t* input, std::uint32_t inputBytes,
                            std::uint8_t* output, std::uint32_t outputSize,
                            std::uint32_t* written) override;
  std::int32_t Reset() override;
  std::int32_t Stop() override;
  std::int32_t Release() override;
  std::int32_t GetInputFormat(WAVEFORMATEX* format) override;
  std::int32_t GetOutputFormat(WAVEFORMATEX* format) override;
  std::uint32_t GetInputSize(std::uint32_t outputFrames) override;

  virtual ~FormatConverterImpl() = default;

 private:
  bool ratesDiffer() const { return input_.nSamplesPerSec != output_.nSamplesPerSec; }
  // True when a block of this many input frames can be stuffed and filtered.
  bool fitsOneBlock(std::uint32_t frames) const;
  // Rate change, channel mapping and PCM output of a block already in doubles.
  void Finish(OwnedSampleBlock& block, std::uint8_t* output, std::uint32_t outputSize,
              std::uint32_t* written);

  WAVEFORMATEX input_{};
  WAVEFORMATEX output_{};
  std::int32_t initialised_ = 0;
  Resampler resampler_;
};

// A format the conversions can divide by and run on to the end: a rate the
// factor search takes, whole bytes per frame, and (for the output) PCM that
// SamplesToPcm writes. The stuffed rate must fit the 32-bit rate field.
bool AcceptableFormats(const WAVEFORMATEX& input, const WAVEFORMATEX& output) {
  constexpr std::uint32_t kLargestRate = std::numeric_limits<std::int32_t>::max();
  if (input.nSamplesPerSec == 0 || output.nSamplesPerSec == 0 ||
      input.nSamplesPerSec > kLargestRate || output.nSamplesPerSec > kLargestRate) {
    return false;
  }
  if (BytesPerFrame(input) == 0 || !IsConvertiblePcm(output)) {
    return false;
  }
  const RateFactors factors = FindRateFactors(static_cast<std::int32_t>(output.nSamplesPerSec),
                                              static_cast<std::int32_t>(input.nSamplesPerSec));
  const std::uint64_t stuffedRate = static_cast<std::uint64_t>(factors.up) * input.nSamplesPerSec;
  return factors.up > 0 && factors.down > 0 &&
         stuffedRate <= std::numeric_limits<std::uint32_t>::max();
}

std::int32_t FormatConverterImpl::Init(const WAVEFORMATEX* inputFormat, std::uint32_t inputBytes,
                                       const WAVEFORMATEX* outputFormat,
                                       std::uint32_t* outputBytes) {
  if (inputFormat == nullptr || outputFormat == nullptr || outputBytes == nullptr ||
      !AcceptableFormats(*inputFormat, *outputFormat)) {
    return E_FAIL;
  }
  input_ = *inputFormat;
  output_ = *outputFormat;
  resampler_.FindRatio(static_cast<std::int32_t>(output_.nSamplesPerSec),
                       static_cast<std::int32_t>(input_.nSamplesPerSec));
  std::uint64_t frames = inputBytes / BytesPerFrame(input_);
  if (ratesDiffer()) {
    frames = frames * static_cast<std::uint64_t>(resampler_.upFactor()) /
                 static_cast<std::uint64_t>(resampler_.downFactor()) +
             1;
  }
  // Never more than the whole frames a 32-bit count can hold.
  const std::uint32_t outputFrameBytes = BytesPerFrame(output_);
  frames =
      std::min<std::uint64_t>(frames, std::numeric_limits<std::uint32_t>::max() / outputFrameBytes);
  *outputBytes = static_cast<std::uint32_t>(frames * outputFrameBytes);
  resampler_.SetFormat(&input_);
  initialised_ = 1;
  return S_OK;
}

bool FormatConverterImpl::fitsOneBlock(std::uint32_t frames) const {
  return !ratesDiffer() ||
         static_cast<std::uint64_t>(frames) * static_cast<std::uint64_t>(resampler_.upFactor()) <=
             kLargestStuffedBlock;
}

std::int32_t FormatConverterImpl::ConvertSamples(SampleBlock block, std::uint8_t* output,
                                                 std::uint32_t outputSize, std::uint32_t* written) {
  if (initialised_ == 0 || block.count == 0) {
    return E_FAIL;
  }
  if (block.left == nullptr || written == nullptr || !fitsOneBlock(block.count)) {
    return E_FAIL;
  }
  OwnedSampleBlock samples;
  samples.count = block.count;
  samples.left = CopyOf(block.left, block.count);
  if (input_.nChannels != 1) {
    // A caller that leaves out the right array of a multi-channel stream gets
    // its left channel twice rather than memory that was never written.
    samples.right = CopyOf(block.right != nullptr ? block.right : block.left, block.count);
  }
  Finish(samples, output, outputSize, written);
  return S_OK;
}

std::int32_t FormatConverterImpl::ConvertBytes(const std::uint8_t* input, std::uint32_t inputBytes,
                                               std::uint8_t* output, std::uint32_t outputSize,
                                               std::uint32_t* written) {
  if (initialised_ == 0 || inputBytes == 0) {
    return E_FAIL;
  }
  const std::uint32_t frames = IsConvertiblePcm(input_) ? inputBytes / BytesPerFrame(input_) : 0;
  if (input == nullptr || written == nullptr || !IsConvertiblePcm(input_) ||
      !fitsOneBlock(frames)) {
    return E_FAIL;
  }
  OwnedSampleBlock samples;
  samples.count = frames;
  samples.left = std::make_unique_for_overwrite<double[]>(frames);
  if (input_.nChannels != 1) {
    samples.right = std::make_unique_for_overwrite<double[]>(frames);
  }
  PcmToSamples(input, input_, samples.view());
  Finish(samples, output, outputSize, written);
  return S_OK;
}

void FormatConverterImpl::Finish(OwnedSampleBlock& block, std::uint8_t* output,
                                 std::uint32_t outputSize, std::uint32_t* written) {
  const std::uint32_t frameBytes = BytesPerFrame(output_);
  const std::uint32_t capacity = output != nullptr ? outputSize / frameBytes : 0;
  if (ratesDiffer()) {
    resampler_.Resample(&block);
  }
  if (input_.nChannels == 2 && output_.nChannels == 1) {
    for (std::uint32_t i = 0; i < block.count; ++i) {
      block.left[i] = (block.right[i] + block.left[i]) * 0.5;
    }
  } else if (input_.nChannels == 1 && output_.nChannels == 2) {
    block.right = CopyOf(block.left.get(), block.count);
  }
  block.count = std::min(block.count, capacity);
  SamplesToPcm(block.view(), output_, output);
  *written = frameBytes * block.count;
}

std::int32_t FormatConverterImpl::Reset() {
  if (initialised_ == 0) {
    return E_FAIL;
  }
  resampler_.SetFormat(&input_);
  return S_OK;
}

std::int32_t FormatConverterImpl::Stop() {
  initialised_ = 0;
  return S_OK;
}

std::int32_t FormatConverterImpl::Release() {
  delete this;
  return S_OK;
}

std::int32_t FormatConverterImpl::GetInputFormat(WAVEFORMATEX* format) {
  if (initialised_ == 0 || format == nullptr) {
    return E_FAIL;
  }
  *format = input_;
  return S_OK;
}

std::int32_t FormatConverterImpl::GetOutputFormat(WAVEFORMATEX* format) {
  if (initialised_ == 0 || format == nullptr) {
    return E_FAIL;
  }
  *format = output_;
  return S_OK;
}

std::uint32_t FormatConverterImpl::GetInputSize(std::uint32_t outputFrames) {
  if (initialised_ == 0) {
    return 0xFFFFFFFFu;
  }
  std::uint64_t frames = outputFrames;
  if (ratesDiffer()) {
    frames = frames * static_cast<std::uint64_t>(resampler_.downFactor()) /
             static_cast<std::uint64_t>(resampler_.upFactor());
  }
  const std::uint32_t frameBytes = BytesPerFrame(input_);
  frames = std::min<std::uint64_t>(frames, (0xFFFFFFFEu) / frameBytes);
  return static_cast<std::uint32_t>(frames * frameBytes);
}

}  // namespace

std::int32_t CreateFormatConverter(FormatConverter** converter) {
  *converter = new (std::nothrow) FormatConverterImpl();
  return S_OK;
}

FormatConverterPtr MakeFormatConverter() {
  FormatConverter* converter = nullptr;
  CreateFormatConverter(&converter);
  return FormatConverterPtr(converter);
}

}  // namespace zel5
