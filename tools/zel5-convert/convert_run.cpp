#include "zel5-convert/convert_run.h"

#include <algorithm>
#include <limits>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "common/byte_sink.h"
#include "common/file_kind.h"
#include "common/output_file.h"
#include "common/pcm16_format.h"
#include "convert/resampler.h"
#include "zel5-convert/open_input.h"
#include "zel5-convert/pcm_stage.h"
#include "zel5-convert/resampled_stage.h"

namespace zel5::tools {
namespace {

// --block, or 10 ms of input; never more than the second of input the
// converter's output buffer is sized for.
std::uint32_t BlockFrames(const ConvertOptions& options, std::uint32_t inRate) {
  if (!options.blockFrames) {
    return std::max<std::uint32_t>(inRate / 100, 1);
  }
  if (*options.blockFrames > inRate) {
    throw std::runtime_error("--block " + std::to_string(*options.blockFrames) +
                             " is more than one second of input (" + std::to_string(inRate) +
                             " frames)");
  }
  return *options.blockFrames;
}

// The converter stuffs L samples per input frame and counts them in an int;
// a longer block is refused (and the bare Resampler would overflow).
void CheckStuffedLength(std::uint32_t block, std::uint32_t inRate, std::uint32_t outRate) {
  if (inRate == outRate) {
    return;
  }
  const RateFactors factors =
      FindRateFactors(static_cast<std::int32_t>(outRate), static_cast<std::int32_t>(inRate));
  const std::uint64_t stuffed = static_cast<std::uint64_t>(block) * factors.up;
  if (stuffed > static_cast<std::uint64_t>(std::numeric_limits<std::int32_t>::max())) {
    throw std::runtime_error("--block " + std::to_string(block) + " is too long for " +
                             std::to_string(inRate) + " Hz to " + std::to_string(outRate) +
                             " Hz: it stuffs to " + std::to_string(stuffed) + " samples");
  }
}

std::unique_ptr<BlockStage> MakeStage(const ConvertOptions& options, const WAVEFORMATEX& input) {
  const WAVEFORMATEX output = Pcm16Format(options.outRate, options.outChannels);
  if (options.stage == ConvertStage::kResampled) {
    return std::make_unique<ResampledStage>(input, output);
  }
  return std::make_unique<PcmStage>(input, output);
}

}  // namespace

void RunConvert(const ConvertOptions& options, std::istream& standardInput,
                std::ostream& standardOutput) {
  ConvertInput input = OpenInput(options, standardInput);
  const std::uint32_t block = BlockFrames(options, input.rate);
  CheckStuffedLength(block, input.rate, options.outRate);
  const std::unique_ptr<BlockStage> stage =
      MakeStage(options, Pcm16Format(input.rate, input.channels));

  OutputFile output(options.output, standardOutput);
  const std::unique_ptr<ByteSink> sink =
      IsWavPath(options.output)
          ? MakeWavSink(output, WavFormat{options.outChannels, options.outRate})
          : MakeRawSink(output);

  std::vector<double> left(block);
  std::vector<double> right(input.channels == 2 ? block : 0);
  while (const std::uint32_t frames = input.source->Read(left, right)) {
    sink->Write(stage->Process(
        SampleBlock{frames, left.data(), input.channels == 2 ? right.data() : nullptr}));
  }
  sink->Finish();
  output.Commit();
}

}  // namespace zel5::tools
