#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <sstream>

#include "common/wav_reader.h"
#include "convert/pcm_samples.h"
#include "tools/scratch_dir.h"
#include "tools/tool_runs.h"
#include "tools/wav_bytes.h"

namespace zel5::tools {
namespace {

using ::testing::ElementsAre;
using testing::Float64Values;
using testing::ReadFileBytes;
using testing::RunSignal;
using testing::ScratchDir;

class SignalTool : public ::testing::Test {
 protected:
  // Runs the tool with OUT in the scratch directory and returns its bytes.
  std::string Generate(std::vector<std::string> args, const std::string& outName) {
    args.push_back(dir_.Path(outName));
    const testing::ToolRun run = RunSignal(args);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");
    return ReadFileBytes(dir_.Path(outName));
  }

  ScratchDir dir_;
};

TEST_F(SignalTool, DefaultIsA440HzSineAtHalfScale) {
  const std::vector<double> samples =
      Float64Values(Generate({"--rate", "44000", "--channels", "1", "--seconds", "0.1"}, "s.f64"));
  ASSERT_EQ(samples.size(), 4400u);
  // 440 Hz at 44000 Hz: a quarter period is 25 samples.
  EXPECT_EQ(samples[0], 0.0);
  EXPECT_NEAR(samples[25], 0.5, 1e-12);
  EXPECT_NEAR(samples[75], -0.5, 1e-12);
  EXPECT_NEAR(*std::max_element(samples.begin(), samples.end()), 0.5, 1e-12);
}

TEST_F(SignalTool, SecondsRoundToWholeFramesInEveryChannel) {
  const std::string out = Generate(
      {"--rate", "44100", "--channels", "2", "--seconds", "0.00002", "--gain", "1"}, "s.f64");
  EXPECT_EQ(out.size(), 1u * 2 * 8);
  const std::string longer =
      Generate({"--rate", "48000", "--channels", "2", "--seconds", "0.5"}, "s.f64");
  EXPECT_EQ(longer.size(), 24000u * 2 * 8);
}

TEST_F(SignalTool, SineChannelsAreEqualNoiseChannelsDiffer) {
  for (const std::string signal : {"sine:1000", "sweep:20-2000", "chord", "noise"}) {
    const std::vector<double> samples = Float64Values(Generate(
        {"--rate", "8000", "--channels", "2", "--seconds", "0.1", "--signal", signal}, "s.f64"));
    std::size_t equal = 0;
    for (std::size_t i = 0; i < samples.size(); i += 2) {
      equal += samples[i] == samples[i + 1];
    }
    EXPECT_EQ(equal, signal == "noise" ? 0u : samples.size() / 2) << signal;
  }
}

TEST_F(SignalTool, GainIsThePeakOfEverySignal) {
  for (const std::string signal : {"sine:1000", "sweep:20-2000", "noise"}) {
    const std::vector<double> samples =
        Float64Values(Generate({"--rate", "8000", "--channels", "1", "--seconds", "1", "--signal",
                                signal, "--gain", "0.25"},
                               "s.f64"));
    double peak = 0.0;
    for (const double sample : samples) {
      peak = std::max(peak, std::fabs(sample));
    }
    EXPECT_LE(peak, 0.25) << signal;
    EXPECT_GT(peak, 0.249) << signal;
  }
}

TEST_F(SignalTool, NoiseIsTheSameEveryRun) {
  const std::vector<std::string> args = {"--rate",    "8000", "--channels", "2",
                                         "--seconds", "0.5",  "--signal",   "noise"};
  EXPECT_EQ(Generate(args, "a.f64"), Generate(args, "b.f64"));
}

TEST_F(SignalTool, WavHoldsTheRawSignalRoundedAsTheConverterRoundsIt) {
  const std::vector<std::string> args = {"--rate", "22050",    "--channels", "2",      "--seconds",
                                         "0.3",    "--signal", "chord",      "--gain", "1.5"};
  const std::vector<double> raw = Float64Values(Generate(args, "s.f64"));
  std::istringstream wav(Generate(args, "s.Wav"));
  WavReader reader(wav, "s.Wav");
  EXPECT_EQ(reader.format().rate, 22050u);
  EXPECT_EQ(reader.format().channels, 2);
  ASSERT_EQ(reader.frames(), raw.size() / 2);
  std::vector<std::int16_t> samples(raw.size());
  reader.ReadFrames(samples);
  for (std::size_t i = 0; i < raw.size(); ++i) {
    const double clipped = std::clamp(raw[i], -1.0, 1.0);
    ASSERT_EQ(samples[i], static_cast<std::int16_t>(clipped * 32767.0)) << "sample " << i;
  }
}

TEST_F(SignalTool, DashWritesToStdout) {
  const std::vector<std::string> args = {"--rate", "8000", "--channels", "1", "--seconds", "0.01"};
  std::vector<std::string> toStdout = args;
  toStdout.push_back("-");
  const testing::ToolRun run = RunSignal(toStdout);
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, Generate(args, "s.f64"));
}

struct Refusal {
  std::string name;
  std::vector<std::string> args;
  std::string message;
};

class SignalToolRefuses : public SignalTool, public ::testing::WithParamInterface<Refusal> {};

TEST_P(SignalToolRefuses, WithOneLineAndNoFile) {
  std::vector<std::string> args = GetParam().args;
  for (std::string& arg : args) {
    if (!arg.empty() && arg.front() == '@') {
      arg = dir_.Path("") + arg.substr(1);
    }
  }
  const testing::ToolRun run = RunSignal(args);
  EXPECT_EQ(run.status, 2);
  EXPECT_EQ(run.err, "zel5-signal: " + GetParam().message + "\n");
  EXPECT_THAT(dir_.Names(), ElementsAre());
}

std::vector<std::string> With(std::vector<std::string> extra) {
  std::vector<std::string> args = {"--rate", "8000", "--channels", "1", "--seconds", "1"};
  args.insert(args.end(), extra.begin(), extra.end());
  return args;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SignalToolRefuses,
    ::testing::Values(
        Refusal{"no_operand", With({}), "expected the one operand OUT, got 0"},
        Refusal{"two_operands", With({"@a.f64", "@b.f64"}), "expected the one operand OUT, got 2"},
        Refusal{"unknown_option", With({"--freq", "1", "@s.f64"}), "unknown option --freq"},
        Refusal{"no_rate", {"--channels", "1", "--seconds", "1", "@s.f64"}, "--rate is required"},
        Refusal{"zero_rate",
                {"--rate", "0", "--channels", "1", "--seconds", "1", "@s.f64"},
                "--rate must be a whole number from 1 to 1073741823, not '0'"},
        Refusal{"three_channels",
                {"--rate", "8000", "--channels", "3", "--seconds", "1", "@s.f64"},
                "--channels must be a whole number from 1 to 2, not '3'"},
        Refusal{"negative_seconds",
                {"--rate", "8000", "--channels", "1", "--seconds", "-1", "@s.f64"},
                "--seconds must be a number from 0 to 86400, not '-1'"},
        Refusal{"less_than_a_frame",
                {"--rate", "8000", "--channels", "1", "--seconds", "0.00001", "@s.f64"},
                "--seconds 0.00001 is less than one frame at 8000 Hz"},
        Refusal{"unknown_signal", With({"--signal", "square:100", "@s.f64"}),
                "--signal must be sine:FREQ, sweep:F1-F2, noise or chord, not 'square:100'"},
        Refusal{"sweep_without_end", With({"--signal", "sweep:100", "@s.f64"}),
                "--signal must be sine:FREQ, sweep:F1-F2, noise or chord, not 'sweep:100'"},
        Refusal{"sine_above_half_the_rate", With({"--signal", "sine:4001", "@s.f64"}),
                "the frequency in --signal sine:4001 must be a number from 0 to 4000, not "
                "'4001'"},
        Refusal{"sweep_end_not_a_number", With({"--signal", "sweep:20-x", "@s.f64"}),
                "the frequency in --signal sweep:20-x must be a number from 0 to 4000, not 'x'"},
        Refusal{"default_sine_above_half_the_rate",
                {"--rate", "800", "--channels", "1", "--seconds", "1", "@s.f64"},
                "the frequency in --signal sine:440 must be a number from 0 to 400, not '440'"},
        Refusal{"gain_too_high", With({"--gain", "11", "@s.f64"}),
                "--gain must be a number from 0 to 10, not '11'"}),
    [](const auto& info) { return info.param.name; });

TEST(SignalHelp, PrintsUsageWithAnExampleAndSucceeds) {
  const testing::ToolRun run = RunSignal({"--help"});
  EXPECT_EQ(run.status, 0);
  EXPECT_THAT(run.out, ::testing::StartsWith("Usage: zel5-signal"));
  EXPECT_THAT(run.out, ::testing::HasSubstr("Example:"));
}

}  // namespace
}  // namespace zel5::tools
