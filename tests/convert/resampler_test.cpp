#include "convert/resampler.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <numeric>
#include <vector>

#include "convert/low_pass_stage.h"
#include "support/pcm_format.h"
#include "support/raise_recorder.h"

namespace zel5 {
namespace {

using test::Pcm;

struct RatioCase {
  std::int32_t input;
  std::int32_t output;
  std::int32_t up;
  std::int32_t down;
};

class FactorSearch : public ::testing::TestWithParam<RatioCase> {};

TEST_P(FactorSearch, PicksTheFirstCloseFractionOrElseTheClosest) {
  const RatioCase& c = GetParam();
  Resampler resampler;
  resampler.FindRatio(c.output, c.input);
  EXPECT_EQ(resampler.upFactor(), c.up);
  EXPECT_EQ(resampler.downFactor(), c.down);
}

INSTANTIATE_TEST_SUITE_P(
    CommonRates, FactorSearch,
    ::testing::Values(RatioCase{44100, 22050, 1, 2}, RatioCase{22050, 44100, 2, 1},
                      RatioCase{44100, 48000, 12, 11}, RatioCase{48000, 44100, 11, 12},
                      RatioCase{48000, 8000, 1, 6}, RatioCase{8000, 44100, 11, 2},
                      RatioCase{8000, 22050, 11, 4}, RatioCase{11025, 48000, 48, 11},
                      RatioCase{22050, 48000, 37, 17}, RatioCase{44100, 44100, 1, 1},
                      // Both below 20: used as they are.
                      RatioCase{3, 5, 5, 3}, RatioCase{19, 19, 19, 19}));

struct CascadeCase {
  std::uint32_t input;
  std::uint32_t output;
  std::uint32_t stuffedRate;
  std::vector<std::int32_t> cutoffs;
};

class Cascade : public ::testing::TestWithParam<CascadeCase> {};

TEST_P(Cascade, StagesRunAtTheStuffedRateWithWideningCutoffs) {
  const CascadeCase& c = GetParam();
  Resampler resampler;
  resampler.FindRatio(static_cast<std::int32_t>(c.output), static_cast<std::int32_t>(c.input));
  const WAVEFORMATEX format = Pcm(c.input, 2);
  resampler.SetFormat(&format);
  ASSERT_EQ(resampler.stageCount(), c.cutoffs.size());
  for (std::uint32_t s = 0; s < resampler.stageCount(); ++s) {
    EXPECT_EQ(resampler.stage(s).cutoff(), c.cutoffs[s]) << "stage " << s;
    EXPECT_EQ(resampler.stage(s).rate(), c.stuffedRate);
    EXPECT_EQ(resampler.stage(s).channels(), 2u);
  }
}

INSTANTIATE_TEST_SUITE_P(CommonRates, Cascade,
                         ::testing::Values(CascadeCase{44100, 22050, 44100, {10500}},
                                           CascadeCase{22050, 44100, 44100, {10500, 11550}},
                                           CascadeCase{44100, 48000, 529200, {21000, 23100, 25410}},
                                           CascadeCase{48000, 44100, 528000, {20952, 23047, 25352}},
                                           CascadeCase{8000, 44100, 88000, {3809, 4190, 4609}},
                                           CascadeCase{48000, 8000, 48000, {3809}},
                                           CascadeCase{44100, 44100, 44100, {21000}}));

// Runs blocks of the given sizes through a resampler and records what each
// gives back.
struct Outcome {
  std::vector<std::uint32_t> counts;
  std::vector<std::uint32_t> phases;
  std::vector<double> left;
  std::vector<double> right;
};

Outcome Resample(std::uint32_t input, std::uint32_t output, const std::vector<double>& left,
                 const std::vector<double>* right, const std::vector<std::uint32_t>& blocks) {
  Resampler resampler;
  resampler.FindRatio(static_cast<std::int32_t>(output), static_cast<std::int32_t>(input));
  const WAVEFORMATEX format = Pcm(input, right ? 2 : 1);
  resampler.SetFormat(&format);
  Outcome run;
  std::size_t at = 0;
  for (std::uint32_t n : blocks) {
    OwnedSampleBlock block;
    block.count = n;
    block.left = std::make_unique<double[]>(n);
    std::memcpy(block.left.get(), left.data() + at, n * sizeof(double));
    if (right != nullptr) {
      block.right = std::make_unique<double[]>(n);
      std::memcpy(block.right.get(), right->data() + at, n * sizeof(double));
    }
    at += n;
    EXPECT_EQ(resampler.Resample(&block), 1);
    EXPECT_EQ(block.right != nullptr, right != nullptr);
    run.counts.push_back(block.count);
    run.phases.push_back(resampler.phase());
    run.left.insert(run.left.end(), block.left.get(), block.left.get() + block.count);
    if (block.right) {
      run.right.insert(run.right.end(), block.right.get(), block.right.get() + block.count);
    }
  }
  return run;
}

std::vector<double> Sine(std::size_t n, double step) {
  std::vector<double> x(n);
  for (std::size_t i = 0; i < n; ++i) {
    x[i] = 0.8 * std::sin(step * static_cast<double>(i));
  }
  return x;
}

TEST(ResamplePhase, DownByTwoAlternatesCountsAndPhase) {
  const std::vector<double> x(441 * 4, 0.1);
  const Outcome run = Resample(44100, 22050, x, nullptr, {441, 441, 441, 441});
  EXPECT_THAT(run.counts, ::testing::ElementsAre(221, 220, 221, 220));
  EXPECT_THAT(run.phases, ::testing::ElementsAre(1, 0, 1, 0));
}

TEST(ResamplePhase, UpByTwoKeepsPhaseZero) {
  const std::vector<double> x(441 * 3, 0.1);
  const Outcome run = Resample(22050, 44100, x, nullptr, {441, 441, 441});
  EXPECT_THAT(run.counts, ::testing::ElementsAre(882, 882, 882));
  EXPECT_THAT(run.phases, ::testing::ElementsAre(0, 0, 0));
}

TEST(ResamplePhase, TwelveElevenRepeatsEveryElevenBlocks) {
  const std::vector<double> x(441 * 12, 0.1);
  const Outcome run = Resample(44100, 48000, x, nullptr, std::vector<std::uint32_t>(12, 441));
  std::vector<std::uint32_t> counts(12, 481);
  counts[0] = 482;
  counts[11] = 482;
  EXPECT_EQ(run.counts, counts);
  EXPECT_THAT(run.phases, ::testing::ElementsAre(10, 9, 8, 7, 6, 5, 4, 3, 2, 1, 0, 10));
}

TEST(ResamplePhase, ABlockShorterThanThePhaseGivesNothingAndStaysInStep) {
  // 48000 -> 8000 keeps every sixth sample; one-frame blocks must still give
  // exactly the samples that one long block gives.
  const std::vector<double> x = Sine(60, 0.01);
  const Outcome whole = Resample(48000, 8000, x, nullptr, {60});
  std::vector<std::uint32_t> ones(60, 1);
  const Outcome single = Resample(48000, 8000, x, nullptr, ones);
  EXPECT_EQ(std::accumulate(single.counts.begin(), single.counts.end(), 0u), 10u);
  EXPECT_THAT(std::vector<std::uint32_t>(single.phases.begin(), single.phases.begin() + 7),
              ::testing::ElementsAre(5, 4, 3, 2, 1, 0, 5));
  EXPECT_EQ(single.left.size(), whole.left.size());
  for (std::size_t i = 0; i < whole.left.size(); ++i) {
    EXPECT_NEAR(single.left[i], whole.left[i], 1e-15);
  }
}

TEST(ResampleOutput, TheFirstSampleOfABlockIsTheFilteredStuffedSampleAtThePhase) {
  const std::vector<double> x = Sine(882, 0.07);
  const Outcome run = Resample(44100, 48000, x, nullptr, {441, 441});
  // Reproduce the cascade by hand over the stuffed signal.
  std::vector<double> stuffed(882 * 12, 0.0);
  for (std::size_t i = 0; i < x.size(); ++i) {
    stuffed[i * 12] = 12.0 * x[i];
  }
  const WAVEFORMATEX format = Pcm(529200, 1);
  LowPassStage stages[3];
  const std::int32_t cutoffs[3] = {21000, 23100, 25410};
  for (int s = 0; s < 3; ++s) {
    stages[s].SetCutoff(cutoffs[s]);
    stages[s].SetFormat(&format);
  }
  for (std::size_t at : {std::size_t{0}, std::size_t{441 * 12}}) {
    for (auto& stage : stages) {
      stage.Filter(SampleBlock{441 * 12, stuffed.data() + at, nullptr});
    }
  }
  EXPECT_EQ(run.left[0], stuffed[0]);
  EXPECT_EQ(run.left[1], stuffed[11]);
  // The second block starts at its phase 10 into its own stuffed samples.
  EXPECT_EQ(run.left[482], stuffed[441 * 12 + 10]);
  EXPECT_EQ(run.left.back(), stuffed[441 * 12 + 10 + 480 * 11]);
}

struct SettleCase {
  std::uint32_t input;
  std::uint32_t output;
  double bound;  // zero-stuffing images leave a ripple for L of 3 and more
};

class ConstantInput : public ::testing::TestWithParam<SettleCase> {};

TEST_P(ConstantInput, SettlesToTheSameLevel) {
  const SettleCase& c = GetParam();
  const std::vector<double> x(c.input / 5, 0.5);
  const Outcome run = Resample(c.input, c.output, x, &x, {static_cast<std::uint32_t>(x.size())});
  const std::size_t settled = run.left.size() / 2;
  double sum = 0.0;
  for (std::size_t i = settled; i < run.left.size(); ++i) {
    EXPECT_NEAR(run.left[i], 0.5, c.bound) << i;
    sum += run.left[i];
  }
  EXPECT_NEAR(sum / static_cast<double>(run.left.size() - settled), 0.5, 1e-3);
  EXPECT_EQ(run.left, run.right);
}

INSTANTIATE_TEST_SUITE_P(CommonRates, ConstantInput,
                         ::testing::Values(SettleCase{44100, 22050, 1e-12},
                                           SettleCase{22050, 44100, 1e-12},
                                           SettleCase{44100, 48000, 0.03},
                                           SettleCase{8000, 44100, 0.03},
                                           SettleCase{11025, 48000, 0.03}));

TEST(ResampleBlocks, EvenUpFactorsGiveTheSameBitsWholeAndInOddSplits) {
  const std::vector<double> left = Sine(2205, 0.05);
  const std::vector<double> right = Sine(2205, 0.11);
  const Outcome whole = Resample(22050, 44100, left, &right, {2205});
  const Outcome split = Resample(22050, 44100, left, &right, {1, 440, 3, 1000, 761});
  EXPECT_EQ(split.left, whole.left);
  EXPECT_EQ(split.right, whole.right);
}

TEST(ResampleBlocks, OddUpFactorsAgreeToRoundingInOddSplits) {
  const std::vector<double> left = Sine(2000, 0.05);
  const Outcome whole = Resample(8000, 44100, left, nullptr, {2000});
  const Outcome split = Resample(8000, 44100, left, nullptr, {1, 7, 992, 999, 1});
  ASSERT_EQ(split.left.size(), whole.left.size());
  for (std::size_t i = 0; i < whole.left.size(); ++i) {
    ASSERT_NEAR(split.left[i], whole.left[i], 1e-13) << i;
  }
}

TEST(ResampleFormat, ASecondSetFormatRestartsTheFiltersAndKeepsThePhase) {
  Resampler resampler;
  resampler.FindRatio(22050, 44100);
  const WAVEFORMATEX format = Pcm(44100, 1);
  resampler.SetFormat(&format);
  OwnedSampleBlock block;
  block.count = 3;
  block.left = std::make_unique<double[]>(3);
  block.left[0] = 0.5;
  resampler.Resample(&block);
  ASSERT_EQ(resampler.phase(), 1u);
  const double firstAfterImpulse = block.left[0];

  resampler.SetFormat(&format);
  EXPECT_EQ(resampler.phase(), 1u);
  OwnedSampleBlock again;
  again.count = 4;
  again.left = std::make_unique<double[]>(4);
  again.left[1] = 0.5;
  resampler.Resample(&again);
  // Phase 1 picks stuffed index 1, the impulse, from fresh filter memory.
  ASSERT_EQ(again.count, 2u);
  EXPECT_EQ(again.left[0], firstAfterImpulse);
}

}  // namespace
}  // namespace zel5
