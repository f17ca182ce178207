// What zel5-convert writes: the bytes a FormatConverter driven directly the
// same way gives, and with --stage resampled the doubles of its Resampler.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <sstream>

#include "common/wav_reader.h"
#include "convert/format_converter.h"
#include "convert/pcm_samples.h"
#include "convert/resampler.h"
#include "tools/scratch_dir.h"
#include "tools/tool_runs.h"
#include "tools/wav_bytes.h"
#include "zel5-convert/pcm_stage.h"

namespace zel5::tools {
namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using testing::Float64Bytes;
using testing::Float64Values;
using testing::Int16Values;
using testing::ReadFileBytes;
using testing::RunConvert;
using testing::ScratchDir;
using testing::WriteFileBytes;

struct Route {
  std::uint32_t inRate;
  std::uint16_t inChannels;
  std::uint32_t outRate;
  std::uint16_t outChannels;
  std::uint32_t block;  // 0: the tool's default
  std::uint32_t frames;
};

void PrintTo(const Route& r, std::ostream* os) {
  *os << r.inRate << "x" << r.inChannels << "->" << r.outRate << "x" << r.outChannels << " block "
      << r.block << ", " << r.frames << " frames";
}

std::uint32_t BlockOf(const Route& route) {
  return route.block != 0 ? route.block : std::max<std::uint32_t>(route.inRate / 100, 1);
}

WAVEFORMATEX Pcm16(std::uint32_t rate, std::uint16_t channels) {
  WAVEFORMATEX format{};
  format.wFormatTag = 1;
  format.nChannels = channels;
  format.nSamplesPerSec = rate;
  format.wBitsPerSample = 16;
  format.nBlockAlign = static_cast<std::uint16_t>(channels * 2);
  format.nAvgBytesPerSec = rate * format.nBlockAlign;
  return format;
}

// Overshoots full scale so clipping shows, and has a high partial so the
// filters do.
std::vector<double> TestSignal(std::uint32_t frames, std::uint16_t channels) {
  std::vector<double> samples;
  for (std::uint32_t i = 0; i < frames; ++i) {
    for (std::uint16_t c = 0; c < channels; ++c) {
      samples.push_back(1.2 * std::sin(0.031 * i + c) + 0.1 * std::sin(1.7 * i * (c + 1)));
    }
  }
  return samples;
}

// Calls fn(count, left, right) for each block of the interleaved input.
template <typename Fn>
void ForEachBlock(const Route& route, const std::vector<double>& interleaved, Fn fn) {
  const std::uint32_t block = BlockOf(route);
  const std::uint16_t ch = route.inChannels;
  std::vector<double> left(block);
  std::vector<double> right(block);
  for (std::uint32_t start = 0; start < route.frames; start += block) {
    const std::uint32_t count = std::min(block, route.frames - start);
    for (std::uint32_t i = 0; i < count; ++i) {
      left[i] = interleaved[(start + i) * ch];
      right[i] = interleaved[(start + i) * ch + ch - 1];
    }
    fn(count, left.data(), right.data());
  }
}

std::string DirectPcm(const Route& route, const std::vector<double>& interleaved) {
  const WAVEFORMATEX in = Pcm16(route.inRate, route.inChannels);
  const WAVEFORMATEX out = Pcm16(route.outRate, route.outChannels);
  FormatConverterPtr converter = MakeFormatConverter();
  std::uint32_t size = 0;
  EXPECT_EQ(converter->Init(&in, route.inRate * route.inChannels * 2, &out, &size), S_OK);
  std::vector<std::uint8_t> buffer(size);
  std::string bytes;
  ForEachBlock(route, interleaved, [&](std::uint32_t count, double* left, double* right) {
    std::uint32_t written = 0;
    const SampleBlock block{count, left, route.inChannels == 2 ? right : nullptr};
    EXPECT_EQ(converter->ConvertSamples(block, buffer.data(), size, &written), S_OK);
    bytes.append(reinterpret_cast<const char*>(buffer.data()), written);
  });
  return bytes;
}

std::vector<double> DirectResampled(const Route& route, const std::vector<double>& interleaved) {
  const WAVEFORMATEX in = Pcm16(route.inRate, route.inChannels);
  Resampler resampler;
  resampler.FindRatio(static_cast<std::int32_t>(route.outRate),
                      static_cast<std::int32_t>(route.inRate));
  resampler.SetFormat(&in);
  std::vector<double> out;
  ForEachBlock(route, interleaved, [&](std::uint32_t count, double* left, double* right) {
    OwnedSampleBlock block;
    block.count = count;
    block.left = std::make_unique<double[]>(count);
    std::copy_n(left, count, block.left.get());
    if (route.inChannels == 2) {
      block.right = std::make_unique<double[]>(count);
      std::copy_n(right, count, block.right.get());
    }
    if (route.inRate != route.outRate) {
      resampler.Resample(&block);
    }
    for (std::uint32_t i = 0; i < block.count; ++i) {
      out.push_back(block.left[i]);
      if (route.inChannels == 2) {
        out.push_back(block.right[i]);
      }
    }
  });
  return out;
}

std::vector<std::string> ConvertArgs(const Route& route, const std::string& in,
                                     const std::string& out) {
  std::vector<std::string> args = {"--in-rate",      std::to_string(route.inRate),
                                   "--in-channels",  std::to_string(route.inChannels),
                                   "--out-rate",     std::to_string(route.outRate),
                                   "--out-channels", std::to_string(route.outChannels)};
  if (route.block != 0) {
    args.insert(args.end(), {"--block", std::to_string(route.block)});
  }
  args.insert(args.end(), {in, out});
  return args;
}

class ConvertTest : public ::testing::Test {
 protected:
  // Runs the tool from a raw input file and returns OUT's bytes.
  std::string Convert(std::vector<std::string> args, const std::string& inBytes,
                      const std::string& outName) {
    WriteFileBytes(dir_.Path("in.f64"), inBytes);
    for (std::string& arg : args) {
      if (arg == "IN") {
        arg = dir_.Path("in.f64");
      } else if (arg == "OUT") {
        arg = dir_.Path(outName);
      }
    }
    const testing::ToolRun run = RunConvert(args);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");
    return ReadFileBytes(dir_.Path(outName));
  }

  ScratchDir dir_;
};

TEST_F(ConvertTest, ClipsScalesBy32767AndTruncatesTowardZero) {
  const std::vector<double> in = {0.5, -0.5, 1.2, -1.2, 0.99999, -0.00001};
  const Route route{44100, 2, 44100, 2, 0, 3};
  EXPECT_THAT(Int16Values(Convert(ConvertArgs(route, "IN", "OUT"), Float64Bytes(in), "o.s16")),
              ElementsAre(16383, -16383, 32767, -32767, 32766, 0));
}

TEST_F(ConvertTest, WritesEveryFrameOfEveryBlock) {
  // 482 + 10 x 481 + 482 frames from twelve blocks of 441.
  const Route route{44100, 2, 48000, 2, 441, 12 * 441};
  const std::string out =
      Convert(ConvertArgs(route, "IN", "OUT"), Float64Bytes(TestSignal(route.frames, 2)), "o.s16");
  EXPECT_EQ(out.size(), 5774u * 4);
}

struct BlockCounts {
  std::uint32_t inRate;
  std::uint32_t outRate;
  std::uint16_t channels;
  std::uint32_t block;
  std::vector<std::uint32_t> frames;
};

class PcmStageFrames : public ::testing::TestWithParam<BlockCounts> {};

TEST_P(PcmStageFrames, PerBlockCarryThePhase) {
  const BlockCounts& c = GetParam();
  PcmStage stage(Pcm16(c.inRate, c.channels), Pcm16(c.outRate, c.channels));
  std::vector<double> left(c.block, 0.1);
  std::vector<double> right(c.block, -0.1);
  std::vector<std::uint32_t> frames;
  for (std::size_t i = 0; i < c.frames.size(); ++i) {
    const SampleBlock block{c.block, left.data(), c.channels == 2 ? right.data() : nullptr};
    frames.push_back(static_cast<std::uint32_t>(stage.Process(block).size()) / (2 * c.channels));
  }
  EXPECT_EQ(frames, c.frames);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PcmStageFrames,
    ::testing::Values(
        BlockCounts{
            44100, 48000, 2, 441, {482, 481, 481, 481, 481, 481, 481, 481, 481, 481, 481, 482}},
        BlockCounts{44100, 22050, 1, 441, {221, 220, 221, 220}},
        BlockCounts{48000, 48000, 2, 480, {480, 480}}));

const std::vector<Route> kRoutes = {
    {44100, 2, 48000, 2, 441, 5000},   {48000, 1, 44100, 2, 333, 4000},
    {22050, 2, 44100, 1, 0, 3001},     {44100, 2, 22050, 1, 1001, 5000},
    {96000, 2, 44100, 2, 4801, 20000}, {8000, 1, 8000, 2, 7, 100},
    {44100, 1, 44101, 1, 0, 2000},     {11025, 2, 48000, 2, 97, 3000},
    {50, 1, 100, 1, 0, 120},           {44100, 2, 48000, 1, 44100, 50000}};

class ConvertRoute : public ConvertTest, public ::testing::WithParamInterface<Route> {};

TEST_P(ConvertRoute, EqualsTheConverterCalledDirectly) {
  const Route& route = GetParam();
  const std::vector<double> in = TestSignal(route.frames, route.inChannels);
  const std::string expected = DirectPcm(route, in);
  ASSERT_FALSE(expected.empty());
  EXPECT_EQ(Convert(ConvertArgs(route, "IN", "OUT"), Float64Bytes(in), "o.s16"), expected);

  std::istringstream wav(Convert(ConvertArgs(route, "IN", "OUT"), Float64Bytes(in), "o.wav"));
  WavReader reader(wav, "o.wav");
  EXPECT_EQ(reader.format().rate, route.outRate);
  EXPECT_EQ(reader.format().channels, route.outChannels);
  std::vector<std::int16_t> samples(expected.size() / 2);
  EXPECT_EQ(reader.ReadFrames(samples), samples.size() / route.outChannels);
  EXPECT_EQ(samples, Int16Values(expected));
}

TEST_P(ConvertRoute, ResampledStageEqualsTheResamplerBitForBit) {
  const Route& route = GetParam();
  const std::vector<double> in = TestSignal(route.frames, route.inChannels);
  std::vector<std::string> args = ConvertArgs(route, "IN", "OUT");
  args.insert(args.begin(), {"--stage", "resampled"});
  EXPECT_EQ(Convert(args, Float64Bytes(in), "o.f64"), Float64Bytes(DirectResampled(route, in)));
}

// Mapping the resampled doubles to the output channels and rounding them
// must give the converter's PCM: the stage shows what the converter used.
TEST_P(ConvertRoute, ResampledStageIsWhatThePcmIsMadeFrom) {
  const Route& route = GetParam();
  const std::vector<double> in = TestSignal(route.frames, route.inChannels);
  std::vector<std::string> args = ConvertArgs(route, "IN", "OUT");
  args.insert(args.begin(), {"--stage", "resampled"});
  const std::vector<double> resampled = Float64Values(Convert(args, Float64Bytes(in), "o.f64"));

  const std::size_t frames = resampled.size() / route.inChannels;
  std::vector<double> left(frames);
  std::vector<double> right(frames);
  for (std::size_t i = 0; i < frames; ++i) {
    const double l = resampled[i * route.inChannels];
    const double r = resampled[i * route.inChannels + route.inChannels - 1];
    left[i] = route.inChannels == 2 && route.outChannels == 1 ? (r + l) * 0.5 : l;
    right[i] = route.inChannels == 2 ? r : l;
  }
  std::string pcm(frames * route.outChannels * 2, '\0');
  SamplesToPcm(SampleBlock{static_cast<std::uint32_t>(frames), left.data(), right.data()},
               Pcm16(route.outRate, route.outChannels),
               reinterpret_cast<std::uint8_t*>(pcm.data()));
  EXPECT_EQ(pcm, DirectPcm(route, in));
}

INSTANTIATE_TEST_SUITE_P(Routes, ConvertRoute, ::testing::ValuesIn(kRoutes));

TEST_F(ConvertTest, ResampledStageAtEqualRatesIsTheInputUnchanged) {
  const std::vector<double> in = {0.5, 1.2, -3.0, 4.9e-324, -0.0, 0.1};
  const Route route{48000, 2, 48000, 1, 2, 3};
  std::vector<std::string> args = ConvertArgs(route, "IN", "OUT");
  args.insert(args.begin(), {"--stage", "resampled"});
  EXPECT_EQ(Convert(args, Float64Bytes(in), "o.f64"), Float64Bytes(in));
}

TEST_F(ConvertTest, EmptyInputGivesEmptyOutput) {
  const Route route{44100, 2, 48000, 1, 0, 0};
  EXPECT_EQ(Convert(ConvertArgs(route, "IN", "OUT"), "", "o.s16"), "");
  std::istringstream wav(Convert(ConvertArgs(route, "IN", "OUT"), "", "o.wav"));
  WavReader reader(wav, "o.wav");
  EXPECT_EQ(reader.frames(), 0u);
  EXPECT_EQ(reader.format().rate, 48000u);
}

TEST_F(ConvertTest, DashReadsStdinAndWritesStdout) {
  const Route route{44100, 2, 22050, 1, 0, 3000};
  const std::string in = Float64Bytes(TestSignal(route.frames, 2));
  const testing::ToolRun run = RunConvert(ConvertArgs(route, "-", "-"), in);
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, Convert(ConvertArgs(route, "IN", "OUT"), in, "o.s16"));
  EXPECT_THAT(dir_.Names(), ElementsAre("in.f64", "o.s16"));
}

TEST_F(ConvertTest, WavInputSetsRateAndChannelsAndReadsSamplesOver32768) {
  const std::vector<std::int16_t> samples = {16384, -32768, 32767, 0};
  WriteFileBytes(dir_.Path("in.WAV"), testing::PcmWav(2, 44100, samples));
  const testing::ToolRun run = RunConvert(
      {"--out-rate", "44100", "--out-channels", "2", dir_.Path("in.WAV"), dir_.Path("o.s16")});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_THAT(Int16Values(ReadFileBytes(dir_.Path("o.s16"))), ElementsAre(16383, -32767, 32766, 0));
}

TEST_F(ConvertTest, InRateOverridesTheWavFilesRate) {
  const std::vector<std::int16_t> samples(300, 8192);
  WriteFileBytes(dir_.Path("in.wav"), testing::PcmWav(1, 8000, samples));
  const testing::ToolRun run =
      RunConvert({"--in-rate", "16000", "--in-channels", "1", "--out-rate", "16000",
                  "--out-channels", "1", dir_.Path("in.wav"), dir_.Path("o.s16")});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_THAT(Int16Values(ReadFileBytes(dir_.Path("o.s16"))),
              ElementsAreArray(std::vector<std::int16_t>(300, 8191)));
}

class ConvertWavInput : public ConvertTest, public ::testing::WithParamInterface<bool> {};

TEST_P(ConvertWavInput, MatchesTheSameSamplesGivenRaw) {
  const bool extensible = GetParam();
  const Route route{44100, 2, 48000, 2, 0, 2000};
  std::vector<std::int16_t> samples;
  std::vector<double> doubles;
  for (double x : TestSignal(route.frames, 2)) {
    samples.push_back(static_cast<std::int16_t>(std::clamp(x, -1.0, 1.0) * 32767.0));
    doubles.push_back(samples.back() / 32768.0);
  }
  std::string wav = testing::PcmWav(2, 44100, samples);
  if (extensible) {
    const std::string pcmFmt = testing::Chunk("fmt ", testing::FmtPayload(1, 2, 44100, 4, 16));
    wav = testing::Riff(testing::Chunk("fmt ", testing::ExtensibleFmtPayload(2, 44100, true)) +
                        wav.substr(12 + pcmFmt.size()));
  }
  WriteFileBytes(dir_.Path("in.wav"), wav);
  const testing::ToolRun run = RunConvert(
      {"--out-rate", "48000", "--out-channels", "2", dir_.Path("in.wav"), dir_.Path("o.s16")});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(ReadFileBytes(dir_.Path("o.s16")), DirectPcm(route, doubles));
}

INSTANTIATE_TEST_SUITE_P(PlainAndExtensible, ConvertWavInput, ::testing::Bool());

TEST(ConvertHelp, PrintsUsageWithAnExampleAndSucceeds) {
  const testing::ToolRun run = RunConvert({"--in-rate", "x", "--help"});
  EXPECT_EQ(run.status, 0);
  EXPECT_THAT(run.out, ::testing::StartsWith("Usage: zel5-convert"));
  EXPECT_THAT(run.out, ::testing::HasSubstr("Example:"));
  EXPECT_EQ(run.err, "");
}

}  // namespace
}  // namespace zel5::tools
