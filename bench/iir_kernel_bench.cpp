// The order-2 IIR kernel alone, in place over one long block, with the taps
// of a real low-pass stage (21000 Hz at the 529200 Hz stuffed rate).
#include <benchmark/benchmark.h>

#include <array>
#include <cstdint>
#include <vector>

#include "convert/low_pass_stage.h"
#include "iir/iir_state.h"
#include "test_signal.h"

namespace zel5::bench {
namespace {

constexpr std::uint32_t kStuffedRate = 529200;

std::array<double, 6> StageTaps() {
  LowPassStage stage;
  stage.SetCutoff(21000);
  const WAVEFORMATEX format{ZEL5_WAVE_FORMAT_PCM, 1, kStuffedRate, kStuffedRate * 2, 2, 16, 0};
  stage.SetFormat(&format);
  return stage.coefficients();
}

void IirKernelOrder2(benchmark::State& state) {
  const auto count = static_cast<std::uint32_t>(state.range(0));
  const std::array<double, 6> taps = StageTaps();
  IirState filter{};
  nspdIirInit(1, taps.data(), 2, &filter);
  // Each pass filters what the last one left: the block stays a sine that
  // the low-pass keeps, so its values never sink to subnormals.
  std::vector<double> samples = TestSignal(count, kStuffedRate, 997.0, 1);
  for (auto _ : state) {
    nspdbIir(&filter, samples.data(), samples.data(), static_cast<int>(count));
    benchmark::ClobberMemory();
  }
  nspIirFree(&filter);
  const auto processed = static_cast<double>(state.iterations()) * count;
  state.SetItemsProcessed(state.iterations() * count);
  state.counters["per_sample"] =
      benchmark::Counter(processed, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

BENCHMARK(IirKernelOrder2)->ArgName("samples")->Arg(4096)->Arg(65536);

}  // namespace
}  // namespace zel5::bench
