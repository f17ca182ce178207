// One stereo low-pass stage as the resampler runs it: 21000 Hz at 529200 Hz
// (44100 Hz stuffed by 12), in place, over a 10 ms stuffed block and a long
// one. Samples count both channels.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "convert/low_pass_stage.h"
#include "test_signal.h"

namespace zel5::bench {
namespace {

constexpr std::uint32_t kStuffedRate = 529200;

void LowPassStageStereo(benchmark::State& state) {
  const auto frames = static_cast<std::uint32_t>(state.range(0));
  LowPassStage stage;
  stage.SetCutoff(21000);
  const WAVEFORMATEX format{ZEL5_WAVE_FORMAT_PCM, 2, kStuffedRate, kStuffedRate * 4, 4, 16, 0};
  stage.SetFormat(&format);
  std::vector<double> left = TestSignal(frames, kStuffedRate, 997.0, 1);
  std::vector<double> right = TestSignal(frames, kStuffedRate, 1499.0, 2);
  const SampleBlock block{frames, left.data(), right.data()};
  for (auto _ : state) {
    stage.Filter(block);
    benchmark::ClobberMemory();
  }
  const auto processed = static_cast<double>(state.iterations()) * frames * 2;
  state.SetItemsProcessed(state.iterations() * frames * 2);
  state.counters["per_sample"] =
      benchmark::Counter(processed, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

BENCHMARK(LowPassStageStereo)->ArgName("frames")->Arg(5292)->Arg(65536);

}  // namespace
}  // namespace zel5::bench
