// zel5-convert refusing what it cannot do: status 2, one line naming the
// fault, and nothing new or changed in the output directory.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tools/scratch_dir.h"
#include "tools/tool_runs.h"
#include "tools/wav_bytes.h"

namespace zel5::tools {
namespace {

using testing::Chunk;
using testing::FmtPayload;
using testing::Riff;
using testing::RunConvert;
using testing::ScratchDir;
using testing::U32Bytes;
using testing::WriteFileBytes;

struct Refusal {
  std::string name;
  std::vector<std::string> args;  // "@x" is the file x in the scratch directory
  std::string message;            // without the "zel5-convert: " prefix, "@x" as in args
};

const std::vector<std::string> kInputs = {"deep.wav",  "long.f64", "odd.f64",   "out.s16",
                                          "short.wav", "six.wav",  "stereo.wav"};

class ConvertRefuses : public ::testing::TestWithParam<Refusal> {
 protected:
  void SetUp() override {
    std::vector<double> frames(2 * 1000, 0.25);
    const std::string whole = testing::Float64Bytes(frames);
    WriteFileBytes(dir_.Path("long.f64"), whole);
    // Many whole blocks, then half a frame: the output is well under way.
    WriteFileBytes(dir_.Path("odd.f64"), whole + whole.substr(0, 8));
    const std::vector<std::int16_t> samples = {1, 2, 3, 4};
    WriteFileBytes(dir_.Path("stereo.wav"), testing::PcmWav(2, 44100, samples));
    WriteFileBytes(dir_.Path("deep.wav"),
                   Riff(Chunk("fmt ", FmtPayload(1, 2, 44100, 6, 24)) + Chunk("data", "")));
    WriteFileBytes(dir_.Path("six.wav"),
                   Riff(Chunk("fmt ", FmtPayload(1, 6, 44100, 12, 16)) + Chunk("data", "")));
    WriteFileBytes(dir_.Path("short.wav"),
                   Riff(Chunk("fmt ", FmtPayload(1, 2, 44100, 4, 16)) + "data" + U32Bytes(40000) +
                        std::string(20000, '\x01')));
    WriteFileBytes(dir_.Path("out.s16"), "earlier output");
  }

  std::string Expand(const std::string& text) const {
    std::string expanded;
    for (const char c : text) {
      expanded += c == '@' ? dir_.Path("") : std::string(1, c);
    }
    return expanded;
  }

  ScratchDir dir_;
};

TEST_P(ConvertRefuses, WithOneLineAndTouchesNoFile) {
  std::vector<std::string> args;
  for (const std::string& arg : GetParam().args) {
    args.push_back(Expand(arg));
  }
  const testing::ToolRun run = RunConvert(args);
  EXPECT_EQ(run.status, 2);
  EXPECT_EQ(run.err, "zel5-convert: " + Expand(GetParam().message) + "\n");
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(dir_.Names(), kInputs);
  EXPECT_EQ(testing::ReadFileBytes(dir_.Path("out.s16")), "earlier output");
}

std::vector<std::string> Args(std::vector<std::string> options, std::vector<std::string> files) {
  options.insert(options.end(), files.begin(), files.end());
  return options;
}

const std::vector<std::string> kStereo44To48 = {"--in-rate",  "44100", "--in-channels",  "2",
                                                "--out-rate", "48000", "--out-channels", "2"};
const std::vector<std::string> kOut = {"@long.f64", "@out.s16"};

INSTANTIATE_TEST_SUITE_P(
    Cases, ConvertRefuses,
    ::testing::Values(
        Refusal{"unknown_option", Args({"--speed", "2"}, kOut), "unknown option --speed"},
        Refusal{"option_without_value", Args(kStereo44To48, {"@long.f64", "@out.s16", "--block"}),
                "--block needs a value"},
        Refusal{"one_operand", Args(kStereo44To48, {"@long.f64"}),
                "expected the operands IN and OUT, got 1"},
        Refusal{"three_operands", Args(kStereo44To48, {"@long.f64", "@out.s16", "@x"}),
                "expected the operands IN and OUT, got 3"},
        Refusal{"raw_without_rate",
                Args({"--in-channels", "2", "--out-rate", "48000", "--out-channels", "2"}, kOut),
                "--in-rate is required for the raw input @long.f64"},
        Refusal{"stdin_without_channels",
                Args({"--in-rate", "44100", "--out-rate", "48000", "--out-channels", "2"},
                     {"-", "@out.s16"}),
                "--in-channels is required for the raw input -"},
        Refusal{"no_out_rate",
                Args({"--in-rate", "44100", "--in-channels", "2", "--out-channels", "2"}, kOut),
                "--out-rate is required"},
        Refusal{"no_out_channels",
                Args({"--in-rate", "44100", "--in-channels", "2", "--out-rate", "48000"}, kOut),
                "--out-channels is required"},
        Refusal{"zero_rate",
                Args({"--in-rate", "0", "--in-channels", "2", "--out-rate", "48000",
                      "--out-channels", "2"},
                     kOut),
                "--in-rate must be a whole number from 1 to 1073741823, not '0'"},
        Refusal{"rate_past_the_format_record",
                Args({"--in-rate", "44100", "--in-channels", "2", "--out-rate", "1073741824",
                      "--out-channels", "2"},
                     kOut),
                "--out-rate must be a whole number from 1 to 1073741823, not '1073741824'"},
        Refusal{"three_channels",
                Args({"--in-rate", "44100", "--in-channels", "2", "--out-rate", "48000",
                      "--out-channels", "3"},
                     kOut),
                "--out-channels must be a whole number from 1 to 2, not '3'"},
        Refusal{"zero_block", Args(kStereo44To48, Args({"--block", "0"}, kOut)),
                "--block must be a whole number from 1 to 1073741823, not '0'"},
        Refusal{"block_over_a_second", Args(kStereo44To48, Args({"--block", "44101"}, kOut)),
                "--block 44101 is more than one second of input (44100 frames)"},
        Refusal{"block_too_long_to_stuff",
                Args({"--in-rate", "50000000", "--in-channels", "2", "--out-rate", "816666666",
                      "--out-channels", "2", "--block", "50000000"},
                     kOut),
                "--block 50000000 is too long for 50000000 Hz to 816666666 Hz: it stuffs to "
                "2450000000 samples"},
        Refusal{"converter_refuses_the_rates",
                Args({"--in-rate", "1000000000", "--in-channels", "2", "--out-rate", "490000000",
                      "--out-channels", "2"},
                     kOut),
                "the converter refuses 1000000000 Hz 2 ch to 490000000 Hz 2 ch"},
        Refusal{"resampled_stage_refuses_them_too",
                Args({"--in-rate", "1000000000", "--in-channels", "2", "--out-rate", "490000000",
                      "--out-channels", "2", "--stage", "resampled"},
                     kOut),
                "the converter refuses 1000000000 Hz 2 ch to 490000000 Hz 2 ch"},
        Refusal{"unknown_stage", Args(kStereo44To48, Args({"--stage", "filtered"}, kOut)),
                "--stage must be pcm or resampled, not 'filtered'"},
        Refusal{"resampled_into_wav",
                Args(kStereo44To48, Args({"--stage", "resampled"}, {"@long.f64", "@new.WAV"})),
                "--stage resampled writes raw float64, not the WAV file @new.WAV"},
        Refusal{"missing_input", Args(kStereo44To48, {"@missing.f64", "@new.s16"}),
                "cannot open @missing.f64 for reading"},
        Refusal{"directory_input", Args(kStereo44To48, {"@", "@new.s16"}),
                "cannot read @: it is a directory"},
        Refusal{"directory_output", Args(kStereo44To48, {"@long.f64", "@"}),
                "cannot write @: it is a directory"},
        Refusal{"truncated_raw_into_raw",
                Args(kStereo44To48, Args({"--block", "7"}, {"@odd.f64", "@out.s16"})),
                "@odd.f64 ends inside a frame: its length is not a multiple of 16 bytes (2 "
                "channel(s) of 8-byte doubles)"},
        Refusal{"truncated_raw_into_wav", Args(kStereo44To48, {"@odd.f64", "@new.wav"}),
                "@odd.f64 ends inside a frame: its length is not a multiple of 16 bytes (2 "
                "channel(s) of 8-byte doubles)"},
        Refusal{"wav_data_ending_early",
                {"--out-rate", "48000", "--out-channels", "1", "@short.wav", "@new.wav"},
                "@short.wav: the data ends early: the data chunk declares 40000 bytes, the file "
                "holds 20000"},
        Refusal{"wav_of_24_bits",
                {"--out-rate", "48000", "--out-channels", "2", "@deep.wav", "@new.wav"},
                "@deep.wav: has 24-bit samples; only 16-bit PCM is read"},
        Refusal{"wav_of_six_channels",
                {"--out-rate", "48000", "--out-channels", "2", "@six.wav", "@new.wav"},
                "@six.wav has 6 channels; only 1 or 2 are converted"},
        Refusal{"wav_channels_disagree",
                {"--in-channels", "1", "--out-rate", "48000", "--out-channels", "2", "@stereo.wav",
                 "@new.wav"},
                "--in-channels 1 disagrees with @stereo.wav, which has 2"}),
    [](const auto& info) { return info.param.name; });

}  // namespace
}  // namespace zel5::tools
