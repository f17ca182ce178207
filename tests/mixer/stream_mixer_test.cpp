#include "mixer/stream_mixer.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "mixer_test_support.h"
#include "support/fake_host_stream.h"

namespace zel5::test {
namespace {

using ::testing::Each;
using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::IsEmpty;

// The next mixed block as samples; empty when Mix gives no block, which must
// then come with a count of 0.
std::vector<std::int16_t> Take(StreamMixer& mixer) {
  std::uint32_t bytes = 12345;
  const std::int16_t* block = mixer.Mix(bytes);
  if (block == nullptr) {
    EXPECT_EQ(bytes, 0u);
    return {};
  }
  EXPECT_GT(bytes, 0u);
  return {block, block + bytes / 2};
}

// Everything the mixer gives until it has no more.
std::vector<std::int16_t> TakeAll(StreamMixer& mixer) {
  std::vector<std::int16_t> all;
  for (std::vector<std::int16_t> block = Take(mixer); !block.empty(); block = Take(mixer)) {
    all.insert(all.end(), block.begin(), block.end());
  }
  return all;
}

void Feed(StreamMixer& mixer, FakeHostStream& stream, const Signal& block) {
  SetBlock(stream, block);
  mixer.AddStreamData(stream);
}

Signal Scaled(Signal signal, double factor) {
  for (double& x : signal.left) {
    x *= factor;
  }
  for (double& x : signal.right) {
    x *= factor;
  }
  return signal;
}

std::vector<std::int16_t> Part(const std::vector<std::int16_t>& samples, std::size_t from,
                               std::size_t count) {
  return {samples.begin() + static_cast<std::ptrdiff_t>(from),
          samples.begin() + static_cast<std::ptrdiff_t>(from + count)};
}

std::vector<std::int16_t> Summed(const std::vector<std::int16_t>& a,
                                 const std::vector<std::int16_t>& b) {
  std::vector<std::int16_t> sum(a.size());
  for (std::size_t i = 0; i < a.size(); ++i) {
    sum[i] = static_cast<std::int16_t>(a[i] + b[i]);
  }
  return sum;
}

std::vector<std::uint32_t> Fields(const WAVEFORMATEX& f) {
  return {f.wFormatTag,  f.nChannels,      f.nSamplesPerSec, f.nAvgBytesPerSec,
          f.nBlockAlign, f.wBitsPerSample, f.cbSize};
}

const WAVEFORMATEX kStereo44100 = Pcm(44100, 2);

// A 44100 Hz stereo mixer with two 44100 Hz stereo streams whose sums never
// clip.
class TwoStreams : public ::testing::Test {
 protected:
  FakeHostStream source_{100, 44100, 2};
  StreamMixer mixer_{source_};
  FakeHostStream first_{1, 44100, 2};
  FakeHostStream second_{2, 44100, 2};
  Signal loud_ = StereoTones(2000, 44100);
  Signal quiet_ = Scaled(StereoTones(750, 44100), 0.3);
  std::vector<std::int16_t> loudConverted_ = Converted(kStereo44100, kStereo44100, {loud_});
  std::vector<std::int16_t> quietConverted_ = Converted(kStereo44100, kStereo44100, {quiet_});
};

struct FormatCase {
  const char* name;
  std::uint32_t rate;
  std::int32_t channels;
  std::int32_t bits;
  std::vector<std::uint32_t> fields;  // tag, channels, rate, bytes/s, align, bits, extra
};

class MixFormat : public ::testing::TestWithParam<FormatCase> {};

TEST_P(MixFormat, FollowsTheFirstStreamIn16BitMonoOrStereo) {
  const FormatCase& c = GetParam();
  FakeHostStream source(1, c.rate, c.channels, c.bits);
  StreamMixer mixer(source);
  EXPECT_THAT(Fields(mixer.GetMixFormat()), ElementsAreArray(c.fields));
  EXPECT_EQ(mixer.StreamCount(), 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Streams, MixFormat,
    ::testing::Values(FormatCase{"Stereo44100", 44100, 2, 16, {1, 2, 44100, 176400, 4, 16, 0}},
                      FormatCase{"Mono8000EightBit", 8000, 1, 8, {1, 1, 8000, 16000, 2, 16, 0}},
                      FormatCase{"NoChannels", 22050, 0, 16, {1, 2, 22050, 88200, 4, 16, 0}},
                      FormatCase{"SixChannels", 48000, 6, 24, {1, 2, 48000, 192000, 4, 16, 0}},
                      FormatCase{
                          "NegativeChannels", 32000, -1, 16, {1, 2, 32000, 128000, 4, 16, 0}},
                      FormatCase{"NoRate", 0, 1, 16, {1, 1, 0, 0, 2, 16, 0}}),
    [](const auto& info) { return std::string(info.param.name); });

struct OneSecondCase {
  const char* name;
  std::uint32_t rate;
  std::uint16_t channels;
  std::uint32_t oneSecond;  // bytes
};

class OneSecondAtMost : public ::testing::TestWithParam<OneSecondCase> {};

TEST_P(OneSecondAtMost, IsMixedAtOnceAndTheRestStaysUnread) {
  const OneSecondCase& c = GetParam();
  const WAVEFORMATEX format = Pcm(c.rate, c.channels);
  FakeHostStream stream(1, c.rate, c.channels);
  StreamMixer mixer(stream);
  const Signal signal = StereoTones(c.rate * 3 / 2, c.rate);
  const Signal source = c.channels == 1 ? Signal{signal.left, {}} : signal;
  Feed(mixer, stream, source);
  const std::vector<std::int16_t> converted =
      Converted(format, format, Blocks(source, {c.rate, c.rate / 2}));
  const std::vector<std::int16_t> first = Take(mixer);
  EXPECT_EQ(first.size() * 2, c.oneSecond);
  EXPECT_THAT(first, ElementsAreArray(Part(converted, 0, c.oneSecond / 2)));
  EXPECT_THAT(Take(mixer), ElementsAreArray(Part(converted, c.oneSecond / 2,
                                                 converted.size() - c.oneSecond / 2)));
  EXPECT_THAT(Take(mixer), IsEmpty());
}

INSTANTIATE_TEST_SUITE_P(Formats, OneSecondAtMost,
                         ::testing::Values(OneSecondCase{"Stereo44100", 44100, 2, 176400},
                                           OneSecondCase{"Mono8000", 8000, 1, 16000}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Mix, GivesNoBlockWithoutStreamsOrWithoutUnreadAudio) {
  FakeHostStream stream(1, 44100, 2);
  StreamMixer mixer(stream);
  EXPECT_THAT(Take(mixer), IsEmpty());
  stream.SetBlock({});
  mixer.AddStreamData(stream);
  EXPECT_EQ(mixer.StreamCount(), 1u);
  EXPECT_THAT(Take(mixer), IsEmpty());
}

TEST_F(TwoStreams, AStreamWithoutAudioIsSilentAndKeepsItsPlace) {
  Feed(mixer_, first_, loud_);
  Feed(mixer_, second_, Signal{});
  EXPECT_THAT(Take(mixer_), ElementsAreArray(loudConverted_));  // 8000 bytes
  Feed(mixer_, second_, quiet_);
  EXPECT_THAT(Take(mixer_), ElementsAreArray(quietConverted_));
}

TEST_F(TwoStreams, TheSmallestUnreadAmountIsMixedAndTheRestKept) {
  Feed(mixer_, first_, loud_);    // 8000 bytes
  Feed(mixer_, second_, quiet_);  // 3000 bytes
  EXPECT_THAT(Take(mixer_),
              ElementsAreArray(Summed(Part(loudConverted_, 0, 1500), quietConverted_)));
  EXPECT_THAT(Take(mixer_), ElementsAreArray(Part(loudConverted_, 1500, 2500)));
  EXPECT_THAT(Take(mixer_), IsEmpty());
}

TEST_F(TwoStreams, AClosedStreamIsStillMixedUntilItsRingIsEmpty) {
  Feed(mixer_, first_, loud_);
  Feed(mixer_, second_, quiet_);
  mixer_.RemoveStream(first_);
  EXPECT_EQ(mixer_.StreamCount(), 1u);
  EXPECT_EQ(mixer_.RingCount(), 2u);
  EXPECT_THAT(Take(mixer_),
              ElementsAreArray(Summed(Part(loudConverted_, 0, 1500), quietConverted_)));
  EXPECT_EQ(mixer_.RingCount(), 2u);
  EXPECT_THAT(Take(mixer_), ElementsAreArray(Part(loudConverted_, 1500, 2500)));
  EXPECT_EQ(mixer_.RingCount(), 1u);
  EXPECT_EQ(mixer_.StreamCount(), 1u);
}

TEST_F(TwoStreams, RemovingTheOnlyStreamLeavesNoneWhileItsAudioIsMixedOnce) {
  Feed(mixer_, first_, loud_);
  mixer_.RemoveStream(first_);
  EXPECT_EQ(mixer_.StreamCount(), 0u);
  EXPECT_THAT(Take(mixer_), ElementsAreArray(loudConverted_));
  EXPECT_EQ(mixer_.RingCount(), 0u);
  EXPECT_THAT(Take(mixer_), IsEmpty());
}

TEST_F(TwoStreams, AStreamWithNothingUnreadIsFreedAtOnce) {
  Feed(mixer_, first_, quiet_);
  Feed(mixer_, second_, Signal{});
  mixer_.RemoveStream(second_);
  EXPECT_EQ(mixer_.RingCount(), 1u);
  EXPECT_THAT(Take(mixer_), ElementsAreArray(quietConverted_));
  mixer_.RemoveStream(first_);
  EXPECT_EQ(mixer_.RingCount(), 0u);
  EXPECT_EQ(mixer_.StreamCount(), 0u);
}

TEST_F(TwoStreams, AReusedIdGetsAFreshRingAndBothAreMixed) {
  Feed(mixer_, first_, Slice(loud_, 0, 750));
  mixer_.RemoveStream(first_);
  FakeHostStream reopened(first_.GetStreamId(), 44100, 2);
  Feed(mixer_, reopened, quiet_);
  EXPECT_EQ(mixer_.StreamCount(), 1u);
  EXPECT_EQ(mixer_.RingCount(), 2u);
  EXPECT_THAT(Take(mixer_),
              ElementsAreArray(Summed(Part(loudConverted_, 0, 1500), quietConverted_)));
  EXPECT_EQ(mixer_.RingCount(), 1u);
}

TEST_F(TwoStreams, RemovingAnUnknownIdChangesNothing) {
  Feed(mixer_, first_, loud_);
  FakeHostStream stranger(99, 44100, 2);
  mixer_.RemoveStream(stranger);
  EXPECT_EQ(mixer_.StreamCount(), 1u);
  EXPECT_EQ(mixer_.RingCount(), 1u);
  EXPECT_THAT(Take(mixer_), ElementsAreArray(loudConverted_));
}

struct SumCase {
  const char* name;
  std::vector<std::int16_t> levels;  // one stream each
  std::int16_t mixed;
};

class Sums : public ::testing::TestWithParam<SumCase> {};

TEST_P(Sums, SaturateOnceWhateverTheOrderOfTheStreams) {
  std::vector<std::int16_t> levels = GetParam().levels;
  std::sort(levels.begin(), levels.end());
  do {
    FakeHostStream source(100, 8000, 1);
    StreamMixer mixer(source);
    std::vector<std::unique_ptr<FakeHostStream>> streams;
    for (const std::int16_t level : levels) {
      streams.push_back(std::make_unique<FakeHostStream>(streams.size() + 1, 8000, 1));
      Feed(mixer, *streams.back(), Signal{std::vector<double>(4, Level(level)), {}});
    }
    EXPECT_THAT(Take(mixer),
                ElementsAre(GetParam().mixed, GetParam().mixed, GetParam().mixed, GetParam().mixed))
        << ::testing::PrintToString(levels);
  } while (std::next_permutation(levels.begin(), levels.end()));
}

INSTANTIATE_TEST_SUITE_P(
    Levels, Sums,
    ::testing::Values(SumCase{"LoudPositive", {20000, 20000}, 32767},
                      SumCase{"LoudNegative", {-20000, -20000}, -32768},
                      SumCase{"WithinRange", {20000, -5000}, 15000},
                      // Clamping after each stream would give 2767 or 30000
                      // depending on the order.
                      SumCase{"ClampedOnceNotPerStream", {30000, 30000, -30000}, 30000},
                      SumCase{"FullScale", {32767, 32767, 32767}, 32767}),
    [](const auto& info) { return std::string(info.param.name); });

struct Unrecordable {
  const char* name;
  std::uint32_t rate;
  std::int32_t channels;
  std::int32_t bits;
};

class RefusedStreams : public ::testing::TestWithParam<Unrecordable> {};

TEST_P(RefusedStreams, AreKeptAsStreamsButAddNothingToTheMix) {
  const Unrecordable& c = GetParam();
  FakeHostStream source(100, 44100, 2);
  StreamMixer mixer(source);
  FakeHostStream odd(1, c.rate, c.channels, c.bits);
  const Signal signal = StereoTones(600, 44100);
  Feed(mixer, odd, signal);
  EXPECT_EQ(mixer.StreamCount(), 1u);
  EXPECT_THAT(Take(mixer), IsEmpty());
  FakeHostStream healthy(2, 44100, 2);
  Feed(mixer, healthy, Slice(signal, 0, 100));
  Feed(mixer, odd, signal);
  EXPECT_THAT(Take(mixer),
              ElementsAreArray(Converted(kStereo44100, kStereo44100, {Slice(signal, 0, 100)})));
}

INSTANTIATE_TEST_SUITE_P(Formats, RefusedStreams,
                         ::testing::Values(Unrecordable{"NoRate", 0, 2, 16},
                                           Unrecordable{"NoChannels", 44100, 0, 16},
                                           Unrecordable{"NoBits", 44100, 2, 0}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Mix, AMixerWithoutRateMixesNothing) {
  FakeHostStream source(1, 0, 2);
  StreamMixer mixer(source);
  FakeHostStream other(2, 44100, 2);
  const Signal signal = StereoTones(600, 44100);
  Feed(mixer, source, signal);
  Feed(mixer, other, signal);
  EXPECT_EQ(mixer.StreamCount(), 2u);
  EXPECT_THAT(Take(mixer), IsEmpty());
}

struct ContentCase {
  const char* name;
  std::uint32_t rate;
  std::int32_t channels;
};

class MixedContent : public ::testing::TestWithParam<std::tuple<ContentCase, bool>> {};

TEST_P(MixedContent, EqualsTheConverterRunOnTheSameBlocks) {
  const auto& [c, mixAfterEveryBlock] = GetParam();
  FakeHostStream source(100, 44100, 2);
  StreamMixer mixer(source);
  FakeHostStream stream(1, c.rate, c.channels);
  const Signal signal = StereoTones(c.rate / 2, c.rate);
  const Signal input = c.channels == 1 ? Signal{signal.left, {}} : signal;
  const std::vector<Signal> blocks = Blocks(
      input, {1, 331, c.rate / 5, 97, 2, c.rate / 4, c.rate / 2 - c.rate / 5 - c.rate / 4 - 431});
  std::vector<std::int16_t> mixed;
  for (const Signal& block : blocks) {
    Feed(mixer, stream, block);
    if (mixAfterEveryBlock) {
      const std::vector<std::int16_t> taken = TakeAll(mixer);
      mixed.insert(mixed.end(), taken.begin(), taken.end());
    }
  }
  const std::vector<std::int16_t> rest = TakeAll(mixer);
  mixed.insert(mixed.end(), rest.begin(), rest.end());
  const std::vector<std::int16_t> expected =
      Converted(Pcm(c.rate, static_cast<std::uint16_t>(c.channels)), kStereo44100, blocks);
  ASSERT_GT(expected.size(), 40000u);
  EXPECT_THAT(mixed, ElementsAreArray(expected));
}

INSTANTIATE_TEST_SUITE_P(Streams, MixedContent,
                         ::testing::Combine(::testing::Values(ContentCase{"Mono22050", 22050, 1},
                                                              ContentCase{"Stereo48000", 48000, 2},
                                                              ContentCase{"Stereo44100", 44100, 2}),
                                            ::testing::Bool()),
                         [](const auto& info) {
                           return std::string(std::get<0>(info.param).name) +
                                  (std::get<1>(info.param) ? "_MixedAfterEveryBlock"
                                                           : "_MixedAtTheEnd");
                         });

}  // namespace
}  // namespace zel5::test
