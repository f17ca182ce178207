#include "mixer_test_support.h"

#include <cmath>
#include <cstring>
#include <numbers>

#include <gtest/gtest.h>

#include "convert/format_converter.h"

namespace zel5::test {

Signal StereoTones(std::uint32_t frames, std::uint32_t rate) {
  Signal signal{std::vector<double>(frames), std::vector<double>(frames)};
  for (std::uint32_t i = 0; i < frames; ++i) {
    const double t = static_cast<double>(i) / rate;
    signal.left[i] = 0.6 * std::sin(2 * std::numbers::pi * 440 * t);
    signal.right[i] = -0.3 + 0.25 * std::sin(2 * std::numbers::pi * 1250 * t);
  }
  return signal;
}

Signal Slice(const Signal& signal, std::uint32_t from, std::uint32_t count) {
  Signal slice{{signal.left.begin() + from, signal.left.begin() + from + count}, {}};
  if (!signal.right.empty()) {
    slice.right.assign(signal.right.begin() + from, signal.right.begin() + from + count);
  }
  return slice;
}

std::vector<Signal> Blocks(const Signal& signal, const std::vector<std::uint32_t>& lengths) {
  std::vector<Signal> blocks;
  std::uint32_t from = 0;
  for (const std::uint32_t length : lengths) {
    blocks.push_back(Slice(signal, from, length));
    from += length;
  }
  return blocks;
}

double Level(std::int16_t value) {
  return (value + std::copysign(0.5, value)) / 32767.0;
}

std::vector<std::int16_t> Converted(const WAVEFORMATEX& input, const WAVEFORMATEX& mix,
                                    const std::vector<Signal>& blocks) {
  FormatConverterPtr converter = MakeFormatConverter();
  std::uint32_t outputBytes = 0;
  converter->Init(&input, input.nBlockAlign * input.nSamplesPerSec, &mix, &outputBytes);
  std::vector<std::uint8_t> output(outputBytes);
  std::vector<std::int16_t> samples;
  for (const Signal& block : blocks) {
    // The converter's output buffer holds one second.
    EXPECT_LE(block.left.size(), input.nSamplesPerSec);
    std::vector<double> left = block.left, right = block.right;
    std::uint32_t written = 0;
    converter->ConvertSamples(SampleBlock{static_cast<std::uint32_t>(left.size()), left.data(),
                                          right.empty() ? nullptr : right.data()},
                              output.data(), outputBytes, &written);
    const std::size_t before = samples.size();
    samples.resize(before + written / 2);
    std::memcpy(samples.data() + before, output.data(), written);
  }
  return samples;
}

void SetBlock(FakeHostStream& stream, const Signal& signal) {
  stream.SetBlock(signal.left, signal.right);
}

}  // namespace zel5::test
