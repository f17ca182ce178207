// The whole converter as a stream drives it: 16-bit stereo in and out, set
// up for one second of input (the stream's ring buffer), then fed 10 ms
// blocks (rate / 100 frames) one after another.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "convert/format_converter.h"
#include "test_signal.h"

namespace zel5::bench {
namespace {

constexpr std::uint32_t kBlocks = 100;

WAVEFORMATEX StereoPcm16(std::uint32_t rate) {
  return WAVEFORMATEX{ZEL5_WAVE_FORMAT_PCM, 2, rate, rate * 4, 4, 16, 0};
}

void FormatConverterStereo16(benchmark::State& state) {
  const auto inputRate = static_cast<std::uint32_t>(state.range(0));
  const auto outputRate = static_cast<std::uint32_t>(state.range(1));
  const WAVEFORMATEX input = StereoPcm16(inputRate);
  const WAVEFORMATEX output = StereoPcm16(outputRate);
  FormatConverterPtr converter = MakeFormatConverter();
  std::uint32_t outputBytes = 0;
  if (converter == nullptr ||
      converter->Init(&input, input.nAvgBytesPerSec, &output, &outputBytes) != S_OK) {
    state.SkipWithError("Init refused the formats");
    return;
  }
  std::vector<std::uint8_t> pcm(outputBytes);

  const std::uint32_t blockFrames = inputRate / 100;
  std::vector<double> left = TestSignal(blockFrames * kBlocks, inputRate, 997.0, 1);
  std::vector<double> right = TestSignal(blockFrames * kBlocks, inputRate, 1499.0, 2);
  std::uint32_t next = 0;
  for (auto _ : state) {
    const std::uint32_t offset = next * blockFrames;
    const SampleBlock block{blockFrames, left.data() + offset, right.data() + offset};
    std::uint32_t written = 0;
    if (converter->ConvertSamples(block, pcm.data(), outputBytes, &written) != S_OK) {
      state.SkipWithError("ConvertSamples failed");
      break;
    }
    benchmark::DoNotOptimize(written);
    benchmark::ClobberMemory();
    next = next + 1 == kBlocks ? 0 : next + 1;
  }
  const auto frames = static_cast<double>(state.iterations()) * blockFrames;
  state.SetItemsProcessed(state.iterations() * blockFrames);
  state.counters["realtime"] = benchmark::Counter(frames / inputRate, benchmark::Counter::kIsRate);
}

BENCHMARK(FormatConverterStereo16)
    ->ArgNames({"in", "out"})
    ->Args({44100, 48000})
    ->Args({48000, 44100})
    ->Args({11025, 48000})
    ->Args({8000, 44100})
    ->Args({44100, 22050})
    ->Args({22050, 44100})
    ->Args({44100, 44100})
    ->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace zel5::bench
