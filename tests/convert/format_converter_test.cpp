#include "convert/format_converter.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

#include "support/pcm_format.h"
#include "support/uniform_noise.h"

namespace zel5 {
namespace {

using test::Pcm;

std::vector<std::int16_t> AsSamples(const std::vector<std::uint8_t>& bytes, std::uint32_t n) {
  std::vector<std::int16_t> samples(n / 2);
  std::memcpy(samples.data(), bytes.data(), samples.size() * 2);
  return samples;
}

// A converter initialised the way a stream's ring buffer does it: one second
// of 16-bit input as the byte count, an output buffer of the reported size.
class Converter {
 public:
  Converter(const WAVEFORMATEX& in, const WAVEFORMATEX& out) : converter_(MakeFormatConverter()) {
    const std::uint32_t oneSecond = in.nSamplesPerSec * in.nChannels * 2u;
    EXPECT_EQ(converter_->Init(&in, oneSecond, &out, &outputBytes_), S_OK);
    buffer_.resize(outputBytes_);
  }
  // Converts the block and returns the 16-bit samples written.
  std::vector<std::int16_t> Convert(std::vector<double> left, std::vector<double>* right) {
    std::uint32_t written = 0;
    EXPECT_EQ(converter_->ConvertSamples(SampleBlock{static_cast<std::uint32_t>(left.size()),
                                                     left.data(), right ? right->data() : nullptr},
                                         buffer_.data(), outputBytes_, &written),
              S_OK);
    return AsSamples(buffer_, written);
  }
  FormatConverter& operator*() { return *converter_; }
  FormatConverter* operator->() { return converter_.get(); }
  std::uint32_t outputBytes() const { return outputBytes_; }

 private:
  FormatConverterPtr converter_;
  std::uint32_t outputBytes_ = 0;
  std::vector<std::uint8_t> buffer_;
};

TEST(PcmOutput, ClipsScalesAndTruncatesTowardZero) {
  Converter c(Pcm(44100, 2), Pcm(44100, 2));
  std::vector<double> right{-0.5, -1.2, -1.0, 0.99999, -0.0, 1e-9};
  EXPECT_THAT(
      c.Convert({0.5, 1.2, 1.0, -0.99999, 0.0, std::numeric_limits<double>::infinity()}, &right),
      ::testing::ElementsAre(16383, -16383, 32767, -32767, 32767, -32767, -32766, 32766, 0, 0,
                             32767, 0));
}

TEST(PcmOutput, NanIsWrittenAsSilence) {
  Converter c(Pcm(44100, 1), Pcm(44100, 1));
  const double nan = std::numeric_limits<double>::quiet_NaN();
  EXPECT_THAT(c.Convert({nan, 0.5, -nan}, nullptr), ::testing::ElementsAre(0, 16383, 0));
}

TEST(PcmOutput, EightBitOutputIsSignedAndScaledBy127) {
  auto converter = MakeFormatConverter();
  const WAVEFORMATEX in = Pcm(8000, 1);
  const WAVEFORMATEX out = Pcm(8000, 1, 8);
  std::uint32_t outputBytes = 0;
  ASSERT_EQ(converter->Init(&in, 16000, &out, &outputBytes), S_OK);
  EXPECT_EQ(outputBytes, 8000u);
  std::vector<double> left{1.0, -1.0, 0.5, -2.0};
  std::vector<std::uint8_t> pcm(4);
  std::uint32_t written = 0;
  ASSERT_EQ(
      converter->ConvertSamples(SampleBlock{4, left.data(), nullptr}, pcm.data(), 4, &written),
      S_OK);
  EXPECT_EQ(written, 4u);
  EXPECT_THAT(pcm, ::testing::ElementsAre(0x7F, 0x81, 63, 0x81));
}

TEST(ChannelMapping, TwoToOneAveragesAndOneToTwoDuplicates) {
  Converter down(Pcm(44100, 2), Pcm(44100, 1));
  std::vector<double> right{-0.25, 0.5};
  EXPECT_THAT(down.Convert({0.5, 0.5}, &right), ::testing::ElementsAre(4095, 16383));

  Converter up(Pcm(44100, 1), Pcm(44100, 2));
  EXPECT_THAT(up.Convert({0.25, -0.75}, nullptr),
              ::testing::ElementsAre(8191, 8191, -24575, -24575));
}

TEST(ChannelMapping, AStereoBlockWithoutARightArrayUsesTheLeftTwice) {
  Converter c(Pcm(44100, 2), Pcm(44100, 2));
  EXPECT_THAT(c.Convert({0.5, -0.25}, nullptr), ::testing::ElementsAre(16383, 16383, -8191, -8191));
  Converter resampled(Pcm(22050, 2), Pcm(44100, 2));
  const std::vector<std::int16_t> out = resampled.Convert(std::vector<double>(100, 0.3), nullptr);
  for (std::size_t i = 0; i < out.size(); i += 2) {
    ASSERT_EQ(out[i], out[i + 1]) << i;
  }
}

TEST(OutputBuffer, ABlockIsCutToTheWholeFramesThatFit) {
  auto converter = MakeFormatConverter();
  const WAVEFORMATEX format = Pcm(44100, 2);
  std::uint32_t outputBytes = 0;
  ASSERT_EQ(converter->Init(&format, 176400, &format, &outputBytes), S_OK);
  std::vector<double> left(441, 0.1), right(441, 0.1);
  std::vector<std::uint8_t> out(403, 0xAA);
  std::uint32_t written = 0;
  ASSERT_EQ(converter->ConvertSamples(SampleBlock{441, left.data(), right.data()}, out.data(), 402,
                                      &written),
            S_OK);
  EXPECT_EQ(written, 400u);
  EXPECT_EQ(out[400], 0xAA);
  EXPECT_EQ(out[402], 0xAA);
}

TEST(PcmInput, EightBitBytesAreSignedAndNotClipped) {
  auto converter = MakeFormatConverter();
  const WAVEFORMATEX in = Pcm(8000, 1, 8);
  const WAVEFORMATEX out = Pcm(8000, 1, 16);
  std::uint32_t outputBytes = 0;
  ASSERT_EQ(converter->Init(&in, 8000, &out, &outputBytes), S_OK);
  // 0x7F is 1.0, 0xFF is -1/127, 0x80 is -128/127, clipped only on output.
  const std::uint8_t pcm[] = {0x7F, 0xFF, 0x80, 17};
  std::vector<std::uint8_t> buffer(8);
  std::uint32_t written = 0;
  ASSERT_EQ(converter->ConvertBytes(pcm, 4, buffer.data(), 8, &written), S_OK);
  EXPECT_THAT(AsSamples(buffer, written), ::testing::ElementsAre(32767, -258, -32767, 4386));
}

TEST(PcmInput, EightBitRoundTripIsNotExact) {
  auto converter = MakeFormatConverter();
  const WAVEFORMATEX format = Pcm(8000, 2, 8);
  std::uint32_t outputBytes = 0;
  ASSERT_EQ(converter->Init(&format, 16000, &format, &outputBytes), S_OK);
  const std::uint8_t pcm[] = {17, 0x80, 0x7F, 0, 5};  // a partial frame at the end is ignored
  std::uint8_t out[4] = {};
  std::uint32_t written = 0;
  ASSERT_EQ(converter->ConvertBytes(pcm, 5, out, 4, &written), S_OK);
  EXPECT_EQ(written, 4u);
  EXPECT_THAT(out, ::testing::ElementsAre(16, 0x81, 0x7F, 0));
}

TEST(PcmInput, SixteenBitSamplesAreReadLittleEndianOver32767) {
  auto converter = MakeFormatConverter();
  const WAVEFORMATEX format = Pcm(8000, 1);
  std::uint32_t outputBytes = 0;
  ASSERT_EQ(converter->Init(&format, 16000, &format, &outputBytes), S_OK);
  const std::uint8_t pcm[] = {0x00, 0x80, 0xFF, 0x7F, 0x39, 0x30};  // -32768, 32767, 12345
  std::vector<std::uint8_t> out(6);
  std::uint32_t written = 0;
  ASSERT_EQ(converter->ConvertBytes(pcm, 6, out.data(), 6, &written), S_OK);
  EXPECT_THAT(AsSamples(out, written), ::testing::ElementsAre(-32767, 32767, 12345));
}

struct SizeCase {
  WAVEFORMATEX in;
  WAVEFORMATEX out;
  std::uint32_t inputBytes;
  std::uint32_t outputBytes;
  std::uint32_t framesBack;  // GetInputSize(framesBack) ...
  std::uint32_t inputSize;   // ... gives this many input bytes
};

class InitSizes : public ::testing::TestWithParam<SizeCase> {};

TEST_P(InitSizes, ReportTheOutputBufferAndTheInverseQuestion) {
  const SizeCase& c = GetParam();
  auto converter = MakeFormatConverter();
  EXPECT_EQ(converter->GetInputSize(10), 0xFFFFFFFFu);
  std::uint32_t outputBytes = 0;
  ASSERT_EQ(converter->Init(&c.in, c.inputBytes, &c.out, &outputBytes), S_OK);
  EXPECT_EQ(outputBytes, c.outputBytes);
  EXPECT_EQ(converter->GetInputSize(c.framesBack), c.inputSize);
}

INSTANTIATE_TEST_SUITE_P(Formats, InitSizes,
                         ::testing::Values(
                             // 44100 * 12 / 11 = 48109, plus one frame when the rates differ.
                             SizeCase{Pcm(44100, 2), Pcm(48000, 2), 176400, 192440, 48110, 176400},
                             SizeCase{Pcm(44100, 2), Pcm(44100, 2), 176403, 176400, 100, 400},
                             SizeCase{Pcm(22050, 1), Pcm(44100, 2), 44100, 176404, 44100, 44100},
                             SizeCase{Pcm(44100, 2, 8), Pcm(22050, 1), 88200, 44102, 22050, 88200},
                             SizeCase{Pcm(11025, 2), Pcm(48000, 2), 44100, 192440, 48, 44}));

TEST(ConverterState, RefusesWorkUntilInitialisedAndAfterStop) {
  auto converter = MakeFormatConverter();
  std::vector<double> left{0.5};
  std::uint8_t out[4];
  std::uint32_t written = 1234;
  WAVEFORMATEX format{};
  EXPECT_EQ(converter->ConvertSamples(SampleBlock{1, left.data(), nullptr}, out, 4, &written),
            E_FAIL);
  EXPECT_EQ(converter->ConvertBytes(out, 2, out, 4, &written), E_FAIL);
  EXPECT_EQ(converter->Reset(), E_FAIL);
  EXPECT_EQ(converter->GetInputFormat(&format), E_FAIL);
  EXPECT_EQ(converter->GetOutputFormat(&format), E_FAIL);
  EXPECT_EQ(written, 1234u);

  const WAVEFORMATEX in = Pcm(44100, 2);
  const WAVEFORMATEX out16 = Pcm(22050, 1);
  std::uint32_t outputBytes = 0;
  ASSERT_EQ(converter->Init(&in, 176400, &out16, &outputBytes), S_OK);
  EXPECT_EQ(converter->GetInputFormat(&format), S_OK);
  EXPECT_EQ(std::memcmp(&format, &in, sizeof(format)), 0);
  EXPECT_EQ(converter->GetOutputFormat(&format), S_OK);
  EXPECT_EQ(std::memcmp(&format, &out16, sizeof(format)), 0);
  EXPECT_EQ(converter->ConvertSamples(SampleBlock{0, left.data(), nullptr}, out, 4, &written),
            E_FAIL);
  EXPECT_EQ(converter->ConvertBytes(out, 0, out, 4, &written), E_FAIL);
  EXPECT_EQ(written, 1234u);

  EXPECT_EQ(converter->Stop(), S_OK);
  EXPECT_EQ(converter->ConvertSamples(SampleBlock{1, left.data(), nullptr}, out, 4, &written),
            E_FAIL);
  EXPECT_EQ(converter->GetInputSize(1), 0xFFFFFFFFu);
}

struct RefusedFormat {
  const char* name;
  WAVEFORMATEX in;
  WAVEFORMATEX out;
};

class InitRefusal : public ::testing::TestWithParam<RefusedFormat> {};

TEST_P(InitRefusal, LeavesTheConverterAsItWas) {
  auto converter = MakeFormatConverter();
  const WAVEFORMATEX good = Pcm(44100, 2);
  std::uint32_t outputBytes = 0;
  ASSERT_EQ(converter->Init(&good, 176400, &good, &outputBytes), S_OK);
  outputBytes = 77;
  EXPECT_EQ(converter->Init(&GetParam().in, 176400, &GetParam().out, &outputBytes), E_FAIL);
  EXPECT_EQ(outputBytes, 77u);
  WAVEFORMATEX format{};
  ASSERT_EQ(converter->GetInputFormat(&format), S_OK);
  EXPECT_EQ(std::memcmp(&format, &good, sizeof(format)), 0);
  EXPECT_EQ(converter->GetInputSize(10), 40u);
}

INSTANTIATE_TEST_SUITE_P(
    Formats, InitRefusal,
    ::testing::Values(
        RefusedFormat{"ZeroInputRate", Pcm(0, 2), Pcm(44100, 2)},
        RefusedFormat{"ZeroOutputRate", Pcm(44100, 2), Pcm(0, 2)},
        RefusedFormat{"SmallRateToZero", Pcm(5, 1), Pcm(0, 1)},
        RefusedFormat{"NoInputChannels", Pcm(44100, 0), Pcm(44100, 2)},
        RefusedFormat{"InputBitsUnderEight", Pcm(44100, 1, 4), Pcm(44100, 2)},
        RefusedFormat{"NoOutputChannels", Pcm(44100, 2), Pcm(44100, 0)},
        RefusedFormat{"SixOutputChannels", Pcm(44100, 2), Pcm(44100, 6)},
        RefusedFormat{"TwentyFourBitOutput", Pcm(44100, 2), Pcm(44100, 2, 24)},
        RefusedFormat{"RateBeyondTheFactorSearch", Pcm(0x80000000u, 1), Pcm(44100, 1)},
        RefusedFormat{"StuffedRateOverflows", Pcm(100000000, 1), Pcm(4000000000u, 1)}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(InitRefusal, NullFormats) {
  auto converter = MakeFormatConverter();
  const WAVEFORMATEX format = Pcm(44100, 2);
  std::uint32_t outputBytes = 5;
  EXPECT_EQ(converter->Init(nullptr, 100, &format, &outputBytes), E_FAIL);
  EXPECT_EQ(converter->Init(&format, 100, nullptr, &outputBytes), E_FAIL);
  EXPECT_EQ(outputBytes, 5u);
  EXPECT_EQ(converter->GetInputSize(1), 0xFFFFFFFFu);
}

TEST(ConvertBytesRefusal, InputOtherThanEightOrSixteenBitMonoOrStereo) {
  for (const WAVEFORMATEX in : {Pcm(44100, 2, 24), Pcm(44100, 6, 16), Pcm(44100, 1, 32)}) {
    auto converter = MakeFormatConverter();
    const WAVEFORMATEX out = Pcm(44100, 2);
    std::uint32_t outputBytes = 0;
    ASSERT_EQ(converter->Init(&in, 44100 * 6, &out, &outputBytes), S_OK);
    std::vector<std::uint8_t> pcm(48, 1), buffer(64);
    std::uint32_t written = 9;
    EXPECT_EQ(converter->ConvertBytes(pcm.data(), 48, buffer.data(), 64, &written), E_FAIL);
    EXPECT_EQ(written, 9u);
    // The same stream given as doubles converts: only rate and channels matter.
    std::vector<double> left(4, 0.5), right(4, 0.5);
    EXPECT_EQ(converter->ConvertSamples(SampleBlock{4, left.data(), right.data()}, buffer.data(),
                                        64, &written),
              S_OK);
    EXPECT_EQ(written, 16u);
  }
}

// Converts the signal in blocks of the given sizes and joins the output.
std::vector<std::int16_t> ConvertInBlocks(const WAVEFORMATEX& in, const WAVEFORMATEX& out,
                                          const std::vector<double>& left,
                                          const std::vector<double>& right,
                                          const std::vector<std::uint32_t>& blocks) {
  Converter c(in, out);
  std::vector<std::int16_t> joined;
  std::size_t at = 0;
  for (std::uint32_t n : blocks) {
    std::vector<double> l(left.begin() + static_cast<std::ptrdiff_t>(at),
                          left.begin() + static_cast<std::ptrdiff_t>(at + n));
    std::vector<double> r(right.begin() + static_cast<std::ptrdiff_t>(at),
                          right.begin() + static_cast<std::ptrdiff_t>(at + n));
    const std::vector<std::int16_t> part = c.Convert(l, in.nChannels == 2 ? &r : nullptr);
    joined.insert(joined.end(), part.begin(), part.end());
    at += n;
  }
  return joined;
}

struct StreamCase {
  std::uint32_t inRate, outRate;
  std::uint16_t inChannels, outChannels;
};

class StreamConversion : public ::testing::TestWithParam<StreamCase> {};

TEST_P(StreamConversion, WholeBlockByBlockAndInOddSplitsGiveOneSignal) {
  const StreamCase& c = GetParam();
  const WAVEFORMATEX in = Pcm(c.inRate, c.inChannels);
  const WAVEFORMATEX out = Pcm(c.outRate, c.outChannels);
  const std::uint32_t tenMs = c.inRate / 100;
  const std::uint32_t total = 10 * tenMs;
  const std::vector<double> left = test::UniformNoise(total, 1, 0.9),
                            right = test::UniformNoise(total, 2, 0.9);
  const std::vector<std::int16_t> whole = ConvertInBlocks(in, out, left, right, {total});
  const std::vector<std::int16_t> blocks =
      ConvertInBlocks(in, out, left, right, std::vector<std::uint32_t>(10, tenMs));
  std::vector<std::uint32_t> odd{1, 3, 7, 13};
  odd.push_back(total - 24);
  const std::vector<std::int16_t> split = ConvertInBlocks(in, out, left, right, odd);
  ASSERT_EQ(blocks.size(), whole.size());
  ASSERT_EQ(split.size(), whole.size());
  // Pairing in the filter kernel may move a last bit, and truncation may
  // then move a sample by one step.
  for (std::size_t i = 0; i < whole.size(); ++i) {
    ASSERT_NEAR(blocks[i], whole[i], 1) << i;
    ASSERT_NEAR(split[i], whole[i], 1) << i;
  }
}

INSTANTIATE_TEST_SUITE_P(
    RatePairs, StreamConversion,
    ::testing::Values(StreamCase{44100, 48000, 2, 2}, StreamCase{48000, 44100, 2, 1},
                      StreamCase{11025, 48000, 1, 2}, StreamCase{8000, 44100, 1, 1},
                      StreamCase{44100, 22050, 2, 2}, StreamCase{22050, 44100, 2, 1},
                      StreamCase{44100, 44100, 1, 2}));

TEST(Reset, RebuildsTheCascadeFromSilence) {
  Converter c(Pcm(22050, 1), Pcm(44100, 1));
  const std::vector<double> x = test::UniformNoise(220, 3, 0.9);
  const std::vector<std::int16_t> first = c.Convert(x, nullptr);
  c.Convert(test::UniformNoise(220, 4, 0.9), nullptr);
  ASSERT_EQ(c->Reset(), S_OK);
  EXPECT_EQ(c.Convert(x, nullptr), first);
}

}  // namespace
}  // namespace zel5
