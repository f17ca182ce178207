#include "zel5-signal/signal_run.h"

#include <algorithm>
#include <memory>
#include <vector>

#include "common/byte_sink.h"
#include "common/file_kind.h"
#include "common/float64_samples.h"
#include "common/output_file.h"
#include "common/pcm16_format.h"
#include "convert/pcm_samples.h"

namespace zel5::tools {
namespace {

constexpr std::uint64_t kChunkFrames = 4096;

}  // namespace

void RunSignal(const SignalOptions& options, std::ostream& standardOutput) {
  const bool wav = IsWavPath(options.output);
  OutputFile output(options.output, standardOutput);
  const std::unique_ptr<ByteSink> sink =
      wav ? MakeWavSink(output, WavFormat{options.channels, options.rate}) : MakeRawSink(output);

  std::vector<std::unique_ptr<signals::SignalGenerator>> generators;
  std::vector<std::vector<double>> channels(options.channels, std::vector<double>(kChunkFrames));
  for (std::uint32_t c = 0; c < options.channels; ++c) {
    generators.push_back(MakeGenerator(options.signal, options.rate, options.frames, c));
  }
  std::vector<double> interleaved;
  std::vector<std::uint8_t> bytes;
  for (std::uint64_t done = 0; done < options.frames;) {
    const std::uint64_t frames = std::min(kChunkFrames, options.frames - done);
    for (std::uint32_t c = 0; c < options.channels; ++c) {
      for (std::uint64_t i = 0; i < frames; ++i) {
        channels[c][i] = options.gain * generators[c]->Next();
      }
    }
    if (wav) {
      // The converter's own rounding, so a WAV signal is what the plug-in
      // would make of the same doubles.
      bytes.resize(frames * options.channels * kWavSampleBytes);
      const SampleBlock block{static_cast<std::uint32_t>(frames), channels[0].data(),
                              options.channels == 2 ? channels[1].data() : nullptr};
      SamplesToPcm(block, Pcm16Format(options.rate, options.channels), bytes.data());
    } else {
      interleaved.resize(frames * options.channels);
      for (std::uint64_t i = 0; i < frames; ++i) {
        for (std::uint32_t c = 0; c < options.channels; ++c) {
          interleaved[i * options.channels + c] = channels[c][i];
        }
      }
      bytes.resize(interleaved.size() * kFloat64Bytes);
      EncodeFloat64(interleaved, bytes.data());
    }
    sink->Write(bytes);
    done += frames;
  }
  sink->Finish();
  output.Commit();
}

}  // namespace zel5::tools
