#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <array>
#include <cmath>

#include "signals/chord_generator.h"
#include "signals/noise_generator.h"
#include "signals/sine_generator.h"
#include "signals/sweep_generator.h"

namespace zel5::signals {
namespace {

std::vector<double> Take(SignalGenerator& generator, std::size_t count) {
  std::vector<double> samples(count);
  for (double& sample : samples) {
    sample = generator.Next();
  }
  return samples;
}

std::size_t SignChanges(const std::vector<double>& samples, std::size_t from, std::size_t to) {
  std::size_t changes = 0;
  for (std::size_t i = from + 1; i < to; ++i) {
    changes += (samples[i - 1] < 0.0) != (samples[i] < 0.0);
  }
  return changes;
}

TEST(SineGenerator, StartsAtZeroPhaseAndRepeatsEveryPeriod) {
  SineGenerator sine(1000.0, 4000.0);
  const std::vector<double> samples = Take(sine, 9);
  const std::array<double, 9> expected = {0, 1, 0, -1, 0, 1, 0, -1, 0};
  for (std::size_t i = 0; i < samples.size(); ++i) {
    EXPECT_NEAR(samples[i], expected[i], 1e-12) << "sample " << i;
  }
}

TEST(SweepGenerator, PassesThroughEveryFrequencyFromStartToEnd) {
  // One second from 100 to 900 Hz averages 500 Hz: 1000 zero crossings, of
  // which the first half-second, averaging 300 Hz, holds 300.
  SweepGenerator sweep(100.0, 900.0, 48000.0, 48000);
  const std::vector<double> samples = Take(sweep, 48000);
  EXPECT_NEAR(static_cast<double>(SignChanges(samples, 0, 48000)), 1000.0, 2.0);
  EXPECT_NEAR(static_cast<double>(SignChanges(samples, 0, 24000)), 300.0, 2.0);
  EXPECT_EQ(samples[0], 0.0);
}

TEST(SweepGenerator, AtOneFrequencyIsThatSine) {
  SweepGenerator sweep(440.0, 440.0, 44100.0, 1000);
  SineGenerator sine(440.0, 44100.0);
  for (int i = 0; i < 1000; ++i) {
    EXPECT_NEAR(sweep.Next(), sine.Next(), 1e-12) << "sample " << i;
  }
}

TEST(NoiseGenerator, IsTheSameOnEveryMachineForASeed) {
  // The standard fixes the 10000th draw of a default-seeded mt19937_64.
  NoiseGenerator noise(5489);
  for (int i = 0; i < 9999; ++i) {
    noise.Next();
  }
  const double expected =
      2.0 * static_cast<double>(9981545732273789042ull >> 11) / 9007199254740992.0 - 1.0;
  EXPECT_EQ(noise.Next(), expected);
}

TEST(NoiseGenerator, IsUniformOverMinusOneToOne) {
  NoiseGenerator noise(1);
  const std::vector<double> samples = Take(noise, 200000);
  double sum = 0.0;
  double squares = 0.0;
  for (const double sample : samples) {
    ASSERT_GE(sample, -1.0);
    ASSERT_LT(sample, 1.0);
    sum += sample;
    squares += sample * sample;
  }
  EXPECT_NEAR(sum / samples.size(), 0.0, 0.01);
  EXPECT_NEAR(squares / samples.size(), 1.0 / 3.0, 0.01);
  NoiseGenerator other(2);
  EXPECT_NE(Take(other, 4), std::vector<double>(samples.begin(), samples.begin() + 4));
}

TEST(ChordGenerator, IsTheMeanOfItsTones) {
  const std::array<double, 3> tones = {1000.0, 2000.0, 3000.0};
  ChordGenerator chord(tones, 12000.0);
  const std::vector<double> samples = Take(chord, 12);
  // sin(k pi / 6 * n) for k = 1, 2, 3, at n = 1 and n = 3.
  EXPECT_NEAR(samples[1], (0.5 + std::sqrt(3.0) / 2.0 + 1.0) / 3.0, 1e-12);
  EXPECT_NEAR(samples[3], (1.0 + 0.0 - 1.0) / 3.0, 1e-12);
  for (const double sample : samples) {
    EXPECT_LE(std::fabs(sample), 1.0);
  }
}

}  // namespace
}  // namespace zel5::signals
