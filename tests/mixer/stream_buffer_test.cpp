#include "mixer/stream_buffer.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "mixer_test_support.h"
#include "support/fake_host_stream.h"

namespace zel5::test {
namespace {

using ::testing::ElementsAreArray;

struct StreamFormat {
  std::uint32_t rate;
  std::int32_t channels;
  std::int32_t bits;
};

WAVEFORMATEX InputFormat(const StreamFormat& f) {
  return Pcm(f.rate, static_cast<std::uint16_t>(f.channels), static_cast<std::uint16_t>(f.bits));
}

// A stream and its ring, fed and read the way the mixer does it.
class Ring {
 public:
  Ring(const StreamFormat& format, const WAVEFORMATEX& mix)
      : stream_(1, format.rate, format.channels, format.bits), buffer_(stream_, mix) {}

  void Write(const Signal& block) {
    SetBlock(stream_, block);
    buffer_.Write(stream_);
  }
  void WriteRaw(SampleBlock block) {
    stream_.SetRawBlock(block);
    buffer_.Write(stream_);
  }
  // Everything unread, taken in reads of chunkBytes (odd sizes read one
  // sample less than they name).
  std::vector<std::int32_t> Drain(std::uint32_t chunkBytes = 0xFFFFFFFFu) {
    std::vector<std::int32_t> samples;
    while (buffer_.Available() != 0) {
      const std::uint32_t before = buffer_.Available();
      std::vector<std::int32_t> chunk(std::min(chunkBytes, before) / 2);
      buffer_.MixInto(chunk.data(), chunkBytes);
      EXPECT_EQ(buffer_.Available(), before - chunk.size() * 2);
      if (buffer_.Available() == before) {
        break;
      }
      samples.insert(samples.end(), chunk.begin(), chunk.end());
    }
    return samples;
  }
  StreamBuffer& operator*() { return buffer_; }
  StreamBuffer* operator->() { return &buffer_; }

 private:
  FakeHostStream stream_;
  StreamBuffer buffer_;
};

std::vector<std::int32_t> Widened(const std::vector<std::int16_t>& samples) {
  return {samples.begin(), samples.end()};
}

std::vector<std::int32_t> Tail(const std::vector<std::int16_t>& samples, std::size_t count) {
  return {samples.end() - static_cast<std::ptrdiff_t>(count), samples.end()};
}

const WAVEFORMATEX kStereo44100 = Pcm(44100, 2);

struct SizeCase {
  const char* name;
  StreamFormat stream;
  WAVEFORMATEX mix;
  std::uint32_t ringSize;
  std::uint32_t inputByteLimit;
  std::uint32_t inputFrameSize;
};

class Sizes : public ::testing::TestWithParam<SizeCase> {};

TEST_P(Sizes, RingIsTwoSecondsOfTheMixAndTheLimitOneSecondOfTheStream) {
  const SizeCase& c = GetParam();
  Ring ring(c.stream, c.mix);
  EXPECT_EQ(ring->RingSize(), c.ringSize);
  EXPECT_EQ(ring->InputByteLimit(), c.inputByteLimit);
  EXPECT_EQ(ring->InputFrameSize(), c.inputFrameSize);
  EXPECT_EQ(ring->Available(), 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Formats, Sizes,
    ::testing::Values(
        // 2 s x 44100 Hz x 4 bytes.
        SizeCase{"Stereo16At44100", {44100, 2, 16}, kStereo44100, 352800, 176400, 4},
        // 2 s x 8000 Hz x 2 bytes.
        SizeCase{"Mono16At8000", {8000, 1, 16}, Pcm(8000, 1), 32000, 16000, 2},
        // Sized by the stereo mix, not by the stream's 22050 bytes.
        SizeCase{"Mono8At11025UnderStereo44100", {11025, 1, 8}, kStereo44100, 352800, 11025, 1},
        SizeCase{"Stereo8At22050UnderMono8000", {22050, 2, 8}, Pcm(8000, 1), 32000, 44100, 2},
        // A frame is the stream's whole frame, so one second is its rate in
        // frames whatever the format.
        SizeCase{"Stereo24At44100", {44100, 2, 24}, kStereo44100, 352800, 264600, 6},
        SizeCase{"SixChannels16At48000", {48000, 6, 16}, Pcm(48000, 2), 384000, 576000, 12},
        SizeCase{"NoRate", {0, 2, 16}, kStereo44100, 352800, 0, 4},
        SizeCase{"NoChannels", {44100, 0, 16}, kStereo44100, 352800, 0, 0},
        SizeCase{"MixWithoutRate", {44100, 2, 16}, Pcm(0, 2), 0, 176400, 4}),
    [](const auto& info) { return std::string(info.param.name); });

struct FormatPair {
  const char* name;
  StreamFormat stream;
  WAVEFORMATEX mix;
};

const FormatPair kFormatPairs[] = {
    {"Same", {44100, 2, 16}, kStereo44100},
    {"Mono22050UnderStereo44100", {22050, 1, 16}, kStereo44100},
    {"Mono8Bit11025UnderStereo44100", {11025, 1, 8}, kStereo44100},
    {"Stereo48000UnderMono44100", {48000, 2, 16}, Pcm(44100, 1)},
    {"Stereo44100UnderMono8000", {44100, 2, 16}, Pcm(8000, 1)},
};

// Block lengths for a quarter second of the stream: whole, in equal blocks,
// and in odd ones.
struct Split {
  const char* name;
  std::vector<std::uint32_t> pattern;  // repeated, empty for one block
};

std::vector<std::uint32_t> Lengths(std::uint32_t total, const std::vector<std::uint32_t>& pattern) {
  if (pattern.empty()) {
    return {total};
  }
  std::vector<std::uint32_t> lengths;
  for (std::size_t i = 0; total != 0; ++i) {
    lengths.push_back(std::min(total, pattern[i % pattern.size()]));
    total -= lengths.back();
  }
  return lengths;
}

const Split kSplits[] = {{"Whole", {}}, {"Blocks441", {441}}, {"Odd", {1, 7, 331, 97, 2}}};

class Content : public ::testing::TestWithParam<std::tuple<FormatPair, Split>> {};

TEST_P(Content, EqualsTheConverterRunOnTheSameBlocks) {
  const auto& [formats, split] = GetParam();
  const Signal signal = StereoTones(formats.stream.rate / 4, formats.stream.rate);
  const Signal source = formats.stream.channels == 1 ? Signal{signal.left, {}} : signal;
  const std::vector<Signal> blocks =
      Blocks(source, Lengths(formats.stream.rate / 4, split.pattern));
  Ring ring(formats.stream, formats.mix);
  for (const Signal& block : blocks) {
    ring.Write(block);
  }
  const std::vector<std::int16_t> expected =
      Converted(InputFormat(formats.stream), formats.mix, blocks);
  ASSERT_GT(expected.size(), 1000u);
  EXPECT_EQ(ring->Available(), expected.size() * 2);
  EXPECT_THAT(ring.Drain(1001), ElementsAreArray(Widened(expected)));
}

INSTANTIATE_TEST_SUITE_P(FormatsAndSplits, Content,
                         ::testing::Combine(::testing::ValuesIn(kFormatPairs),
                                            ::testing::ValuesIn(kSplits)),
                         [](const auto& info) {
                           return std::string(std::get<0>(info.param).name) + "_" +
                                  std::get<1>(info.param).name;
                         });

TEST(Write, AStereoBlockWithoutARightArrayRecordsTheLeftOnBothChannels) {
  // Longer than one second, so the pieces after the first have no right
  // array either.
  const Signal signal = StereoTones(44600, 44100);
  Ring ring({44100, 2, 16}, kStereo44100);
  ring.Write(Signal{signal.left, {}});
  EXPECT_THAT(
      ring.Drain(),
      ElementsAreArray(Widened(Converted(Pcm(44100, 2), kStereo44100,
                                         Blocks(Signal{signal.left, signal.left}, {44100, 500})))));
}

struct IgnoredBlock {
  const char* name;
  std::uint32_t count;
  bool withLeft;
  bool withRight;
};

class IgnoredBlocks : public ::testing::TestWithParam<IgnoredBlock> {};

TEST_P(IgnoredBlocks, ChangeNothing) {
  const IgnoredBlock& c = GetParam();
  // Longer than one second: no piece of it may be converted.
  Signal signal = StereoTones(50000, 44100);
  Ring ring({44100, 2, 16}, kStereo44100);
  const Signal first = Slice(signal, 0, 100);
  ring.Write(first);
  ring.WriteRaw(SampleBlock{c.count, c.withLeft ? signal.left.data() : nullptr,
                            c.withRight ? signal.right.data() : nullptr});
  EXPECT_EQ(ring->Available(), 400u);
  EXPECT_THAT(ring.Drain(),
              ElementsAreArray(Widened(Converted(Pcm(44100, 2), kStereo44100, {first}))));
}

INSTANTIATE_TEST_SUITE_P(Blocks, IgnoredBlocks,
                         ::testing::Values(IgnoredBlock{"NoFrames", 0, true, true},
                                           IgnoredBlock{"NoLeft", 50000, false, true},
                                           IgnoredBlock{"NoArrays", 50000, false, false}),
                         [](const auto& info) { return std::string(info.param.name); });

struct LongBlock {
  const char* name;
  StreamFormat stream;
  WAVEFORMATEX mix;
  std::vector<std::uint32_t> pieces;  // one second each but the last
};

class LongBlocks : public ::testing::TestWithParam<LongBlock> {};

TEST_P(LongBlocks, AreConvertedWholeInPiecesOfOneSecond) {
  const LongBlock& c = GetParam();
  std::uint32_t frames = 0;
  for (const std::uint32_t piece : c.pieces) {
    frames += piece;
  }
  const Signal signal = StereoTones(frames, c.stream.rate);
  const Signal source = c.stream.channels == 1 ? Signal{signal.left, {}} : signal;
  Ring ring(c.stream, c.mix);
  ring.Write(source);
  const std::vector<std::int16_t> expected =
      Converted(InputFormat(c.stream), c.mix, Blocks(source, c.pieces));
  // More than the one second a single conversion gives.
  ASSERT_GT(expected.size() * 2, c.mix.nAvgBytesPerSec * 5 / 4);
  EXPECT_EQ(ring->Available(), expected.size() * 2);
  EXPECT_THAT(ring.Drain(), ElementsAreArray(Widened(expected)));
}

INSTANTIATE_TEST_SUITE_P(
    Formats, LongBlocks,
    ::testing::Values(
        LongBlock{"Same", {44100, 2, 16}, kStereo44100, {44100, 22050}},
        LongBlock{"Mono22050UnderStereo44100", {22050, 1, 16}, kStereo44100, {22050, 11025}},
        LongBlock{"Stereo8Bit11025UnderStereo44100", {11025, 2, 8}, kStereo44100, {11025, 5000}},
        LongBlock{"Mono8000", {8000, 1, 16}, Pcm(8000, 1), {8000, 4000}},
        LongBlock{"Stereo24Bit44100", {44100, 2, 24}, kStereo44100, {44100, 22050}}),
    [](const auto& info) { return std::string(info.param.name); });

struct OverrunCase {
  const char* name;
  StreamFormat stream;
  WAVEFORMATEX mix;
  std::vector<std::uint32_t> blocks;
  std::uint32_t available;
};

class Overruns : public ::testing::TestWithParam<OverrunCase> {};

TEST_P(Overruns, KeepTheNewestWholeFramesOfOneFrameLessThanTheRing) {
  const OverrunCase& c = GetParam();
  std::uint32_t frames = 0;
  for (const std::uint32_t block : c.blocks) {
    frames += block;
  }
  const Signal signal = StereoTones(frames, c.stream.rate);
  const Signal source = c.stream.channels == 1 ? Signal{signal.left, {}} : signal;
  const std::vector<Signal> blocks = Blocks(source, c.blocks);
  Ring ring(c.stream, c.mix);
  for (const Signal& block : blocks) {
    ring.Write(block);
  }
  EXPECT_EQ(ring->Available(), c.available);
  EXPECT_THAT(ring.Drain(), ElementsAreArray(Tail(Converted(InputFormat(c.stream), c.mix, blocks),
                                                  c.available / 2)));
}

INSTANTIATE_TEST_SUITE_P(
    Formats, Overruns,
    ::testing::Values(
        // 352800 - 4 bytes fit without an overrun.
        OverrunCase{"OneFrameShortOfFull", {44100, 2, 16}, kStereo44100, {44100, 44099}, 352796},
        // Exactly the ring size counts as an overrun and drops the oldest frame.
        OverrunCase{"ExactlyFull", {44100, 2, 16}, kStereo44100, {44100, 44100}, 352796},
        OverrunCase{"PastFull", {44100, 2, 16}, kStereo44100, {44100, 44100, 1001}, 352796},
        OverrunCase{"MonoMix", {8000, 1, 16}, Pcm(8000, 1), {8000, 8000}, 31998},
        // Two seconds of an 8-bit mono stream fill the stereo ring exactly,
        // two and a half overrun it.
        OverrunCase{
            "Mono8Bit11025UnderStereo44100", {11025, 1, 8}, kStereo44100, {11025, 11025}, 352796},
        OverrunCase{"Mono8Bit11025UnderStereo44100Past",
                    {11025, 1, 8},
                    kStereo44100,
                    {11025, 11025, 5000},
                    352796}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(OneConversionOverrun, KeepsTheNewestFramesOfAConversionLongerThanTheRing) {
  // At 10 Hz the ring is 40 bytes, while one second of 44100 Hz comes out as
  // about 900 frames at the coarsest resampling ratio.
  const Signal signal = StereoTones(44100, 44100);
  const Signal mono{signal.left, {}};
  Ring ring({44100, 1, 16}, Pcm(10, 1));
  ASSERT_EQ(ring->RingSize(), 40u);
  ring.Write(mono);
  const std::vector<std::int16_t> converted = Converted(Pcm(44100, 1), Pcm(10, 1), {mono});
  ASSERT_GT(converted.size(), 20u);
  EXPECT_EQ(ring->Available(), 38u);
  EXPECT_THAT(ring.Drain(), ElementsAreArray(Tail(converted, 19)));
}

// Writes and reads that cross the end of the ring at different places: each
// block is read back whole before the next one comes.
class WrapAround : public ::testing::TestWithParam<std::vector<std::uint32_t>> {};

TEST_P(WrapAround, SplitsTheCopyAndKeepsTheOrder) {
  std::uint32_t frames = 0;
  for (const std::uint32_t block : GetParam()) {
    frames += block;
  }
  const Signal signal = StereoTones(frames, 8000);
  const std::vector<Signal> blocks = Blocks(Signal{signal.left, {}}, GetParam());
  Ring ring({8000, 1, 16}, Pcm(8000, 1));
  std::vector<std::int32_t> read;
  for (const Signal& block : blocks) {
    ring.Write(block);
    EXPECT_EQ(ring->Available(), block.left.size() * 2);
    const std::vector<std::int32_t> chunk = ring.Drain(999);
    read.insert(read.end(), chunk.begin(), chunk.end());
  }
  EXPECT_THAT(read, ElementsAreArray(Widened(Converted(Pcm(8000, 1), Pcm(8000, 1), blocks))));
}

INSTANTIATE_TEST_SUITE_P(Splits, WrapAround,
                         ::testing::Values(
                             // The third write crosses the end of the 16000-frame ring.
                             std::vector<std::uint32_t>{7000, 7000, 3000, 500},
                             // The second ends exactly at the end, the third starts over.
                             std::vector<std::uint32_t>{8000, 8000, 100},
                             // The second stops two bytes short of the end.
                             std::vector<std::uint32_t>{8000, 7999, 2, 3, 8000, 1}));

struct MixIntoCase {
  const char* name;
  std::uint32_t unreadSamples;
  std::uint32_t byteCount;
  std::uint32_t added;
};

class MixInto : public ::testing::TestWithParam<MixIntoCase> {};

TEST_P(MixInto, AddsOnlyUnreadWholeSamplesAtTheStartAndConsumesThem) {
  const MixIntoCase& c = GetParam();
  const std::vector<std::int16_t> values{10000, -200, 300, -400, 500};
  std::vector<double> levels;
  for (std::uint32_t i = 0; i < c.unreadSamples; ++i) {
    levels.push_back(Level(values[i]));
  }
  Ring ring({8000, 1, 16}, Pcm(8000, 1));
  if (!levels.empty()) {
    ring.Write(Signal{levels, {}});
  }
  std::vector<std::int32_t> sums(8, 30000);
  ring->MixInto(sums.data(), c.byteCount);
  for (std::uint32_t i = 0; i < sums.size(); ++i) {
    // 30000 + 10000 does not wrap: the sum is 32-bit.
    EXPECT_EQ(sums[i], i < c.added ? 30000 + values[i] : 30000) << i;
  }
  std::vector<std::int32_t> rest;
  for (std::uint32_t i = c.added; i < c.unreadSamples; ++i) {
    rest.push_back(values[i]);
  }
  EXPECT_THAT(ring.Drain(), ElementsAreArray(rest));
}

INSTANTIATE_TEST_SUITE_P(Counts, MixInto,
                         ::testing::Values(MixIntoCase{"Empty", 0, 8, 0},
                                           MixIntoCase{"NoBytes", 5, 0, 0},
                                           MixIntoCase{"Fewer", 5, 4, 2},
                                           MixIntoCase{"Exact", 3, 6, 3},
                                           MixIntoCase{"MoreThanUnread", 3, 16, 3},
                                           MixIntoCase{"OddIgnoresTheLastByte", 5, 7, 3},
                                           MixIntoCase{"OneByte", 5, 1, 0}),
                         [](const auto& info) { return std::string(info.param.name); });

struct Unrecordable {
  const char* name;
  StreamFormat stream;
  WAVEFORMATEX mix;
};

class RefusedFormats : public ::testing::TestWithParam<Unrecordable> {};

TEST_P(RefusedFormats, RecordNothing) {
  const Unrecordable& c = GetParam();
  const Signal signal = StereoTones(96000, 48000);
  Ring ring(c.stream, c.mix);
  ring.Write(Slice(signal, 0, 441));
  ring.Write(signal);
  EXPECT_EQ(ring->Available(), 0u);
  std::vector<std::int32_t> sums(4, 7);
  ring->MixInto(sums.data(), 8);
  EXPECT_THAT(sums, ::testing::Each(7));
}

INSTANTIATE_TEST_SUITE_P(
    Formats, RefusedFormats,
    ::testing::Values(Unrecordable{"NoRate", {0, 2, 16}, kStereo44100},
                      Unrecordable{"NoChannels", {44100, 0, 16}, kStereo44100},
                      Unrecordable{"NoBits", {44100, 2, 0}, kStereo44100},
                      Unrecordable{"LessThanAByteAFrame", {44100, 1, 4}, kStereo44100},
                      Unrecordable{"MixWithoutRate", {44100, 2, 16}, Pcm(0, 2)}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace zel5::test
