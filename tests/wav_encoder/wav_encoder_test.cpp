// The WAV encoder library as a host sees it: loaded by path, every call
// through the raw tables.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "encoders/host_calls.h"
#include "encoders/scratch_folder.h"
#include "platform/dynamic_library.h"
#include "support/pcm_format.h"
#include "zel5/encoder_api.h"

namespace zel5::test {
namespace {

std::uint32_t Field(const std::string& bytes, std::size_t offset, int size) {
  std::uint32_t value = 0;
  for (int i = size - 1; i >= 0; --i) {
    value = (value << 8) | static_cast<std::uint8_t>(bytes.at(offset + i));
  }
  return value;
}

std::vector<std::int16_t> Ramp(std::size_t count, std::int16_t start) {
  std::vector<std::int16_t> samples(count);
  for (std::size_t i = 0; i < count; ++i) {
    samples[i] = static_cast<std::int16_t>(start + static_cast<std::int16_t>(i * 257));
  }
  return samples;
}

// The 44-byte canonical header of a file holding dataBytes of audio.
void ExpectHeader(const std::string& file, const WAVEFORMATEX& format, std::uint32_t dataBytes) {
  ASSERT_EQ(file.size(), 44u + dataBytes);
  EXPECT_EQ(file.substr(0, 4), "RIFF");
  EXPECT_EQ(Field(file, 4, 4), 36u + dataBytes);
  EXPECT_EQ(file.substr(8, 8), "WAVEfmt ");
  EXPECT_EQ(Field(file, 16, 4), 16u);
  EXPECT_EQ(Field(file, 20, 2), 1u);
  EXPECT_EQ(Field(file, 22, 2), format.nChannels);
  EXPECT_EQ(Field(file, 24, 4), format.nSamplesPerSec);
  EXPECT_EQ(Field(file, 28, 4), format.nAvgBytesPerSec);
  EXPECT_EQ(Field(file, 32, 2), format.nBlockAlign);
  EXPECT_EQ(Field(file, 34, 2), 16u);
  EXPECT_EQ(file.substr(36, 4), "data");
  EXPECT_EQ(Field(file, 40, 4), dataBytes);
}

class WavEncoderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    library_ = platform::DynamicLibrary::Load(ZEL5ENC_WAV_LIBRARY);
    ASSERT_NE(library_, nullptr);
    getProviderCount_ =
        reinterpret_cast<GetProviderCountFunction>(library_->Find("GetProviderCount"));
    getProvider_ = reinterpret_cast<GetProviderFunction>(library_->Find("GetProvider"));
    ASSERT_NE(getProviderCount_, nullptr);
    ASSERT_NE(getProvider_, nullptr);
    provider_ = getProvider_(0);
    ASSERT_NE(provider_, nullptr);
  }

  void TearDown() override {
    if (encoder_ != nullptr) {
      Close(encoder_);
      DestroyEncoder(provider_, encoder_);
    }
  }

  // Null when the provider refuses.
  void* Create(const WAVEFORMATEX& format) {
    void* encoder = nullptr;
    return CreateEncoder(provider_, &format, settings_, &encoder) == 0 ? encoder : nullptr;
  }

  void CreateOwned(const WAVEFORMATEX& format) {
    encoder_ = Create(format);
    ASSERT_NE(encoder_, nullptr);
  }

  std::pair<std::uint32_t, std::uint32_t> Counters() {
    std::uint32_t a = 99;
    std::uint32_t b = 99;
    EXPECT_EQ(QueryCounterA(encoder_, &a), 0);
    EXPECT_EQ(QueryCounterB(encoder_, &b), 0);
    return {a, b};
  }

  ScratchFolder scratch_;
  std::unique_ptr<platform::DynamicLibrary> library_;
  GetProviderCountFunction getProviderCount_ = nullptr;
  GetProviderFunction getProvider_ = nullptr;
  void* provider_ = nullptr;
  void* encoder_ = nullptr;
  std::uint8_t settings_[ZEL5_ENCODER_SETTINGS_SIZE] = {1};
};

TEST_F(WavEncoderTest, OneProviderWithIdOne) {
  EXPECT_EQ(getProviderCount_(), 1u);
  EXPECT_EQ(GetId(provider_), 1u);
  EXPECT_EQ(getProvider_(1), nullptr);
}

TEST_F(WavEncoderTest, DescribeBeforeAnyEncoderReportsZeros) {
  char name[ZEL5_ENCODER_NAME_SIZE];
  std::int32_t values[3] = {7, 7, 7};
  Describe(provider_, settings_, name, sizeof name, &values[0], &values[1], &values[2]);
  EXPECT_STREQ(name, "WAV PCM 16-bit");
  EXPECT_EQ(values[0], 0);
  EXPECT_EQ(values[1], 0);
  EXPECT_EQ(values[2], 0);
}

TEST_F(WavEncoderTest, DescribeReportsTheLastCreatedFormat) {
  CreateOwned(Pcm(48000, 1));
  void* second = Create(Pcm(22050, 2));
  ASSERT_NE(second, nullptr);
  DestroyEncoder(provider_, second);
  std::int32_t values[3] = {};
  char name[ZEL5_ENCODER_NAME_SIZE];
  Describe(provider_, settings_, name, sizeof name, &values[0], &values[1], &values[2]);
  EXPECT_EQ(values[0], 22050);
  EXPECT_EQ(values[1], 2);
  EXPECT_EQ(values[2], 16);
}

struct NameBoundCase {
  std::uint32_t nameSize;
  const char* expected;
};

TEST_F(WavEncoderTest, DescribeNameStaysWithinItsBuffer) {
  const NameBoundCase cases[] = {
      {1, ""}, {2, "W"}, {4, "WAV"}, {14, "WAV PCM 16-bi"}, {15, "WAV PCM 16-bit"}};
  for (const NameBoundCase& c : cases) {
    char name[32];
    std::memset(name, 'x', sizeof name);
    std::int32_t values[3];
    Describe(provider_, settings_, name, c.nameSize, &values[0], &values[1], &values[2]);
    EXPECT_STREQ(name, c.expected) << c.nameSize;
    EXPECT_EQ(name[c.nameSize], 'x') << c.nameSize;
  }
}

TEST_F(WavEncoderTest, DescribeWritesNoNameIntoAnEmptyBuffer) {
  char name = 'x';
  std::int32_t values[3];
  Describe(provider_, settings_, &name, 0, &values[0], &values[1], &values[2]);
  EXPECT_EQ(name, 'x');
}

TEST_F(WavEncoderTest, GetInfoGivesTheExtensionAndRefusesASmallRecord) {
  CreateOwned(Pcm(44100, 2));
  EncoderInfo info{};
  info.size = sizeof info;
  EXPECT_EQ(GetInfo(encoder_, &info), 0);
  EXPECT_STREQ(info.extension, "wav");

  EncoderInfo small{};
  small.size = sizeof small - 1;
  EXPECT_NE(GetInfo(encoder_, &small), 0);
  EXPECT_EQ(small.extension[0], '\0');
  EXPECT_NE(GetInfo(encoder_, nullptr), 0);
}

struct RefusalCase {
  const char* what;
  WAVEFORMATEX format;
};

WAVEFORMATEX With(WAVEFORMATEX format, void (*change)(WAVEFORMATEX&)) {
  change(format);
  return format;
}

TEST_F(WavEncoderTest, CreateEncoderRefusesFormatsItCannotWrite) {
  const RefusalCase cases[] = {
      {"float tag", With(Pcm(44100, 2), [](WAVEFORMATEX& f) { f.wFormatTag = 3; })},
      {"8 bits", Pcm(44100, 2, 8)},
      {"24 bits", Pcm(44100, 2, 24)},
      {"no channel", Pcm(44100, 0)},
      {"3 channels", Pcm(44100, 3)},
      {"rate 0", Pcm(0, 2)},
      {"block align", With(Pcm(44100, 2), [](WAVEFORMATEX& f) { f.nBlockAlign = 2; })},
      {"avg bytes", With(Pcm(44100, 2), [](WAVEFORMATEX& f) { f.nAvgBytesPerSec = 44100; })},
  };
  for (const RefusalCase& c : cases) {
    void* encoder = &settings_;
    EXPECT_NE(CreateEncoder(provider_, &c.format, settings_, &encoder), 0) << c.what;
    EXPECT_EQ(encoder, &settings_) << c.what;
  }
  const WAVEFORMATEX good = Pcm(44100, 2);
  void* encoder = nullptr;
  EXPECT_NE(CreateEncoder(provider_, nullptr, settings_, &encoder), 0);
  EXPECT_NE(CreateEncoder(provider_, &good, settings_, nullptr), 0);
  EXPECT_EQ(encoder, nullptr);
}

TEST_F(WavEncoderTest, OpenFailsInAMissingFolder) {
  CreateOwned(Pcm(44100, 2));
  EXPECT_NE(Open(encoder_, scratch_.Path("missing/take.wav").c_str()), 0);
  EXPECT_NE(Open(encoder_, nullptr), 0);
  const std::int16_t frame[2] = {1, 2};
  EXPECT_NE(WriteBlock(encoder_, frame, sizeof frame), 0);
  EXPECT_EQ(Counters(), std::make_pair(0u, 0u));
}

TEST_F(WavEncoderTest, OpenWritesAHeaderWithNoData) {
  const WAVEFORMATEX format = Pcm(48000, 1);
  CreateOwned(format);
  const std::string path = scratch_.Path("empty.wav");
  ASSERT_EQ(Open(encoder_, path.c_str()), 0);
  ExpectHeader(ReadBytes(path), format, 0);
  EXPECT_EQ(Close(encoder_), 0);
  ExpectHeader(ReadBytes(path), format, 0);
}

struct RecordingCase {
  std::uint32_t rate;
  std::uint16_t channels;
};

TEST_F(WavEncoderTest, HeaderAndSamplesAreValidAfterEveryBlock) {
  const RecordingCase cases[] = {{44100, 2}, {8000, 1}, {96000, 2}};
  for (const RecordingCase& c : cases) {
    const WAVEFORMATEX format = Pcm(c.rate, c.channels);
    void* encoder = Create(format);
    ASSERT_NE(encoder, nullptr);
    const std::string path = scratch_.Path("take" + std::to_string(c.rate) + ".wav");
    ASSERT_EQ(Open(encoder, path.c_str()), 0);
    std::string expected;
    const std::size_t sampleCounts[] = {c.channels * 100u, c.channels * 1u, c.channels * 4410u};
    for (std::size_t block = 0; block < 3; ++block) {
      const auto samples = Ramp(sampleCounts[block], static_cast<std::int16_t>(block * 1000));
      const auto bytes = static_cast<std::uint32_t>(samples.size() * 2);
      EXPECT_EQ(WriteBlock(encoder, samples.data(), bytes), 0);
      expected.append(reinterpret_cast<const char*>(samples.data()), bytes);
      // Read while the recording goes on, as a crash would leave the file.
      const std::string file = ReadBytes(path);
      ExpectHeader(file, format, static_cast<std::uint32_t>(expected.size()));
      EXPECT_EQ(file.substr(44), expected) << c.rate << " block " << block;
      std::uint32_t frames = 0;
      std::uint32_t written = 0;
      QueryCounterA(encoder, &frames);
      QueryCounterB(encoder, &written);
      EXPECT_EQ(written, expected.size());
      EXPECT_EQ(frames, expected.size() / format.nBlockAlign);
    }
    EXPECT_EQ(Close(encoder), 0);
    const std::string file = ReadBytes(path);
    ExpectHeader(file, format, static_cast<std::uint32_t>(expected.size()));
    EXPECT_EQ(file.substr(44), expected);
    DestroyEncoder(provider_, encoder);
  }
}

struct PartialFrameCase {
  std::uint32_t byteCount;
  std::uint32_t keptBytes;
};

TEST_F(WavEncoderTest, OnlyWholeFramesAreWritten) {
  const PartialFrameCase cases[] = {{0, 0}, {1, 0}, {3, 0}, {4, 4}, {7, 4}, {9, 8}};
  for (const PartialFrameCase& c : cases) {
    const WAVEFORMATEX format = Pcm(44100, 2);
    void* encoder = Create(format);
    ASSERT_NE(encoder, nullptr);
    const std::string path = scratch_.Path("part" + std::to_string(c.byteCount) + ".wav");
    ASSERT_EQ(Open(encoder, path.c_str()), 0);
    const std::string samples = "ABCDEFGHIJKL";
    EXPECT_EQ(WriteBlock(encoder, samples.data(), c.byteCount), 0) << c.byteCount;
    std::uint32_t frames = 0;
    std::uint32_t bytes = 0;
    QueryCounterA(encoder, &frames);
    QueryCounterB(encoder, &bytes);
    EXPECT_EQ(bytes, c.keptBytes) << c.byteCount;
    EXPECT_EQ(frames, c.keptBytes / 4) << c.byteCount;
    Close(encoder);
    const std::string file = ReadBytes(path);
    ExpectHeader(file, format, c.keptBytes);
    EXPECT_EQ(file.substr(44), samples.substr(0, c.keptBytes)) << c.byteCount;
    DestroyEncoder(provider_, encoder);
  }
}

TEST_F(WavEncoderTest, WriteBlockBeforeOpenAndCloseTwiceDoNoHarm) {
  CreateOwned(Pcm(44100, 2));
  const std::int16_t frame[2] = {1, 2};
  EXPECT_NE(WriteBlock(encoder_, frame, sizeof frame), 0);
  EXPECT_EQ(Counters(), std::make_pair(0u, 0u));
  EXPECT_EQ(Close(encoder_), 0);
  const std::string path = scratch_.Path("twice.wav");
  ASSERT_EQ(Open(encoder_, path.c_str()), 0);
  EXPECT_EQ(WriteBlock(encoder_, frame, sizeof frame), 0);
  EXPECT_EQ(Close(encoder_), 0);
  EXPECT_EQ(Close(encoder_), 0);
  EXPECT_NE(WriteBlock(encoder_, frame, sizeof frame), 0);
  ExpectHeader(ReadBytes(path), Pcm(44100, 2), 4);
  EXPECT_EQ(Counters(), std::make_pair(1u, 4u));
}

TEST_F(WavEncoderTest, ANullBlockIsRefused) {
  CreateOwned(Pcm(44100, 2));
  const std::string path = scratch_.Path("null.wav");
  ASSERT_EQ(Open(encoder_, path.c_str()), 0);
  EXPECT_NE(WriteBlock(encoder_, nullptr, 4), 0);
  EXPECT_EQ(Counters(), std::make_pair(0u, 0u));
  EXPECT_NE(QueryCounterA(encoder_, nullptr), 0);
  EXPECT_NE(QueryCounterB(encoder_, nullptr), 0);
}

}  // namespace
}  // namespace zel5::test
