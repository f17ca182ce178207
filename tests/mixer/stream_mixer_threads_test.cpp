#include <gtest/gtest.h>

#include <cstdint>
#include <thread>
#include <vector>

#include "mixer/stream_mixer.h"
#include "mixer_test_support.h"
#include "support/fake_host_stream.h"

namespace zel5::test {
namespace {

// Host threads feed and close their own streams while the pump mixes: every
// operation runs under the mixer's one lock, so the sanitizer sees no race and
// every ring ends up mixed and freed.
TEST(Threads, FeedingAndClosingStreamsWhileMixing) {
  constexpr int kFeeders = 4;
  constexpr int kBlocks = 300;
  constexpr int kBlocksPerStream = 40;
  FakeHostStream source(100, 8000, 1);
  StreamMixer mixer(source);
  const Signal signal = StereoTones(80, 8000);

  std::vector<std::thread> feeders;
  for (int f = 0; f < kFeeders; ++f) {
    feeders.emplace_back([&mixer, &signal, f] {
      // Mono and stereo, at the mix rate and resampled.
      FakeHostStream stream(static_cast<std::uint32_t>(f + 1), f % 2 == 0 ? 8000 : 22050,
                            f < 2 ? 1 : 2);
      stream.SetBlock(signal.left, f < 2 ? std::vector<double>{} : signal.right);
      for (int b = 1; b <= kBlocks; ++b) {
        mixer.AddStreamData(stream);
        if (b % kBlocksPerStream == 0) {
          mixer.RemoveStream(stream);
        }
      }
      mixer.RemoveStream(stream);
    });
  }
  std::uint64_t mixedBytes = 0;
  for (int i = 0; i < 2000; ++i) {
    std::uint32_t bytes = 0;
    mixer.Mix(bytes);
    EXPECT_EQ(bytes % 2, 0u);
    mixedBytes += bytes;
    EXPECT_LE(mixer.StreamCount(), static_cast<std::uint32_t>(kFeeders));
  }
  for (std::thread& feeder : feeders) {
    feeder.join();
  }

  EXPECT_EQ(mixer.StreamCount(), 0u);
  for (std::uint32_t bytes = 1; bytes != 0;) {
    mixer.Mix(bytes);
    mixedBytes += bytes;
  }
  EXPECT_GT(mixedBytes, 0u);
  EXPECT_EQ(mixer.RingCount(), 0u);
}

}  // namespace
}  // namespace zel5::test
