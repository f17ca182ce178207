// The test encoder's output file and its two counters: the PCM it receives
// lands unchanged in the file it was opened on.
#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "encoders/loaded_library.h"

namespace zel5::test {
namespace {

using test_encoder::MakeSettings;

// Bytes that differ from block to block and from place to place.
std::string Samples(std::size_t size, char seed) {
  std::string bytes(size, '\0');
  for (std::size_t at = 0; at < size; ++at) {
    bytes[at] = static_cast<char>(seed + at * 7);
  }
  return bytes;
}

struct WriteCase {
  WAVEFORMATEX format;
  std::vector<std::size_t> blockSizes;
  std::uint32_t bytesPerFrame;
};

class EncoderOutput : public LoadedLibrary, public ::testing::WithParamInterface<WriteCase> {};

TEST_P(EncoderOutput, AppendsEveryBlockAndCountsFramesAndBytes) {
  const WriteCase& write = GetParam();
  void* encoder = Create(Provider(0), MakeSettings(1), write.format);
  ASSERT_NE(encoder, nullptr);
  const std::string path = scratch_.Path("out.tst");
  ASSERT_EQ(Open(encoder, path.c_str()), 0);
  EXPECT_EQ(ReadBytes(path), "") << "Open makes the file";
  std::string expected;
  for (std::size_t block = 0; block < write.blockSizes.size(); ++block) {
    const std::string samples = Samples(write.blockSizes[block], static_cast<char>(block));
    EXPECT_EQ(WriteBlock(encoder, samples.data(), static_cast<std::uint32_t>(samples.size())), 0);
    expected += samples;
    std::uint32_t frames = 0xDEAD;
    std::uint32_t bytes = 0xDEAD;
    EXPECT_EQ(QueryCounterB(encoder, &bytes), 0);
    EXPECT_EQ(QueryCounterA(encoder, &frames), 0);
    EXPECT_EQ(bytes, expected.size());
    EXPECT_EQ(frames, expected.size() / write.bytesPerFrame);
    EXPECT_EQ(ReadBytes(path), expected) << "written through at once";
  }
  EXPECT_EQ(Close(encoder), 0);
  EXPECT_EQ(DestroyEncoder(Provider(0), encoder), 0);
  EXPECT_EQ(ReadBytes(path), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Formats, EncoderOutput,
    ::testing::Values(WriteCase{kStereo16, {17640, 4, 0, 6}, 4},
                      WriteCase{Pcm(22050, 1), {8820, 3}, 2},
                      WriteCase{{ZEL5_WAVE_FORMAT_PCM, 2, 8000, 0, 0, 16, 0}, {10}, 1}));

TEST_F(LoadedLibrary, OpenEmptiesTheFileAndRestartsTheCounters) {
  const std::string first = scratch_.Path("first.tst");
  const std::string second = scratch_.Path("second.tst");
  std::ofstream(second, std::ios::binary) << "old content";
  void* encoder = Create(Provider(0), MakeSettings(1));
  ASSERT_NE(encoder, nullptr);
  ASSERT_EQ(Open(encoder, first.c_str()), 0);
  ASSERT_EQ(WriteBlock(encoder, "abcd", 4), 0);
  ASSERT_EQ(Open(encoder, second.c_str()), 0);
  EXPECT_EQ(ReadBytes(second), "");
  std::uint32_t bytes = 0xDEAD;
  EXPECT_EQ(QueryCounterB(encoder, &bytes), 0);
  EXPECT_EQ(bytes, 0u);
  EXPECT_EQ(DestroyEncoder(Provider(0), encoder), 0);
  EXPECT_EQ(ReadBytes(first), "abcd");
}

struct RefusalCase {
  const char* call;
  std::function<std::int32_t(void* encoder, const std::string& missingFolder)> make;
};

class Refusals : public LoadedLibrary, public ::testing::WithParamInterface<RefusalCase> {};

// Each call refuses what it cannot do, with a non-zero result and no crash.
TEST_P(Refusals, AnswerNonZero) {
  void* encoder = Create(Provider(0), MakeSettings(1));
  ASSERT_NE(encoder, nullptr);
  EXPECT_NE(GetParam().make(encoder, scratch_.Path("missing/out.tst")), 0) << GetParam().call;
  EXPECT_EQ(DestroyEncoder(Provider(0), encoder), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Calls, Refusals,
    ::testing::Values(
        RefusalCase{
            "Open in a missing folder",
            [](void* encoder, const std::string& path) { return Open(encoder, path.c_str()); }},
        RefusalCase{"Open of no path",
                    [](void* encoder, const std::string&) { return Open(encoder, nullptr); }},
        RefusalCase{
            "WriteBlock before Open",
            [](void* encoder, const std::string&) { return WriteBlock(encoder, "abcd", 4); }},
        RefusalCase{"Close before Open",
                    [](void* encoder, const std::string&) { return Close(encoder); }},
        RefusalCase{
            "QueryCounterA without a place",
            [](void* encoder, const std::string&) { return QueryCounterA(encoder, nullptr); }},
        RefusalCase{"QueryCounterB without a place", [](void* encoder, const std::string&) {
                      return QueryCounterB(encoder, nullptr);
                    }}));

TEST_F(LoadedLibrary, RefusesToWriteAfterCloseOrFromNoSamples) {
  const std::string path = scratch_.Path("out.tst");
  void* encoder = Create(Provider(0), MakeSettings(1));
  ASSERT_NE(encoder, nullptr);
  ASSERT_EQ(Open(encoder, path.c_str()), 0);
  EXPECT_NE(WriteBlock(encoder, nullptr, 4), 0);
  EXPECT_EQ(WriteBlock(encoder, nullptr, 0), 0);
  ASSERT_EQ(Close(encoder), 0);
  EXPECT_NE(WriteBlock(encoder, "abcd", 4), 0);
  EXPECT_EQ(DestroyEncoder(Provider(0), encoder), 0);
  EXPECT_EQ(ReadBytes(path), "");
}

TEST_F(LoadedLibrary, CreateEncoderRefusesMissingArguments) {
  const test_encoder::SettingsBytes settings = test_encoder::ToBytes(MakeSettings(1));
  void* encoder = reinterpret_cast<void*>(0x1);
  EXPECT_NE(CreateEncoder(Provider(0), nullptr, settings.data(), &encoder), 0);
  EXPECT_EQ(encoder, reinterpret_cast<void*>(0x1));
  EXPECT_NE(CreateEncoder(Provider(0), &kStereo16, settings.data(), nullptr), 0);
  EXPECT_NE(DestroyEncoder(Provider(0), nullptr), 0);
}

TEST_F(LoadedLibrary, CreateEncoderWithoutSettingsSucceeds) {
  void* encoder = nullptr;
  ASSERT_EQ(CreateEncoder(Provider(0), &kStereo16, nullptr, &encoder), 0);
  ASSERT_NE(encoder, nullptr);
  EXPECT_EQ(DestroyEncoder(Provider(0), encoder), 0);
}

}  // namespace
}  // namespace zel5::test
