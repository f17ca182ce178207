#include "convert/low_pass_stage.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "support/counting_heap.h"
#include "support/pcm_format.h"
#include "support/raise_recorder.h"

namespace zel5 {
namespace {

using test::Pcm;

using test::CountingHeap;
using test::RaiseRecorder;

struct DesignCase {
  std::int32_t cutoff;
  std::uint32_t rate;
  double b0, b1, a1, a2;
};

class ButterworthDesign : public ::testing::TestWithParam<DesignCase> {};

TEST_P(ButterworthDesign, GivesTheExactCoefficientsWithUnityGainAtDc) {
  const DesignCase& c = GetParam();
  LowPassStage stage;
  stage.SetCutoff(c.cutoff);
  const WAVEFORMATEX format = Pcm(c.rate, 2);
  stage.SetFormat(&format);
  EXPECT_THAT(stage.coefficients(), ::testing::ElementsAre(c.b0, c.b1, c.b0, 1.0, c.a1, c.a2));
  const auto& k = stage.coefficients();
  EXPECT_NEAR(k[0] + k[1] + k[2], 1.0 + k[4] + k[5], 1e-15);
}

// 10500 Hz at 44100 Hz is about b0 0.2713195303, b1 0.5426390605,
// a1 -0.0876532728, a2 0.1729313939; 3809 Hz at 48000 Hz about 0.0454908222,
// 0.0909816445, -1.3126552797, 0.4946185686. The last bits depend on forming
// pi * cutoff before dividing by the rate.
INSTANTIATE_TEST_SUITE_P(
    CascadeStages, ButterworthDesign,
    ::testing::Values(DesignCase{10500, 44100, 0x1.15d4c974ea5e3p-2, 0x1.15d4c974ea5e3p-1,
                                 -0x1.67071e43610b8p-4, 0x1.6229dac903770p-3},
                      DesignCase{3809, 48000, 0x1.74a92b38b47c9p-5, 0x1.74a92b38b47c9p-4,
                                 -0x1.500a2d29109c7p+0, 0x1.fa7d4a409cb01p-2},
                      DesignCase{21000, 529200, 0x1.af5edcc2127e2p-7, 0x1.af5edcc2127e2p-6,
                                 -0x1.a674b2ee0263ep+0, 0x1.67df53a825efbp-1},
                      DesignCase{20952, 528000, 0x1.af5b28db96d16p-7, 0x1.af5b28db96d16p-6,
                                 -0x1.a6751c1db30c7p+0, 0x1.67dfeac91f85fp-1},
                      DesignCase{11550, 44100, 0x1.42b5ad3d567f9p-2, 0x1.42b5ad3d567f9p-1,
                                 0x1.67071e43610b6p-4, 0x1.6229dac90376fp-3},
                      DesignCase{4609, 88000, 0x1.65d19ac2455c0p-6, 0x1.65d19ac2455c0p-5,
                                 -0x1.8a65fd396c3eep+0, 0x1.41862dcb21295p-1}));

class LowPassFiltering : public RaiseRecorder {
 protected:
  LowPassFiltering() {
    stage_.SetCutoff(10500);
    stage_.SetFormat(&format_);
  }
  const WAVEFORMATEX format_ = Pcm(44100, 2);
  LowPassStage stage_;
};

TEST_F(LowPassFiltering, AConstantSettlesToItself) {
  std::vector<double> left(2000, 0.5);
  std::vector<double> right(2000, -0.25);
  stage_.Filter(SampleBlock{2000, left.data(), right.data()});
  EXPECT_NEAR(left.back(), 0.5, 1e-12);
  EXPECT_NEAR(right.back(), -0.25, 1e-12);
  EXPECT_TRUE(raised().empty());
}

TEST_F(LowPassFiltering, ARedesignFreesAndRestartsBothChannelsFromZero) {
  std::vector<double> fresh{1.0, 0.0, 0.0, 0.0};
  LowPassStage other;
  other.SetCutoff(10500);
  other.SetFormat(&format_);
  other.Filter(SampleBlock{4, fresh.data(), nullptr});

  std::vector<double> warmLeft(100, 0.3), warmRight(100, -0.3);
  stage_.Filter(SampleBlock{100, warmLeft.data(), warmRight.data()});
  stage_.SetFormat(&format_);
  EXPECT_TRUE(raised().empty()) << "no refusal from initialising again";
  std::vector<double> left{1.0, 0.0, 0.0, 0.0};
  std::vector<double> right{1.0, 0.0, 0.0, 0.0};
  stage_.Filter(SampleBlock{4, left.data(), right.data()});
  EXPECT_EQ(left, fresh);
  EXPECT_EQ(right, fresh);
}

TEST_F(LowPassFiltering, WithoutARightArrayTheRightStateWaitsWhereItStood) {
  std::vector<double> whole(40);
  for (std::size_t i = 0; i < whole.size(); ++i) {
    whole[i] = std::sin(0.3 * static_cast<double>(i));
  }
  LowPassStage reference;
  reference.SetCutoff(10500);
  reference.SetFormat(&format_);
  std::vector<double> expected = whole;
  reference.Filter(SampleBlock{40, expected.data(), nullptr});

  std::vector<double> left(whole.begin(), whole.begin() + 20);
  std::vector<double> right(whole.begin(), whole.begin() + 20);
  stage_.Filter(SampleBlock{20, left.data(), right.data()});
  std::vector<double> leftOnly(20, 0.9);
  stage_.Filter(SampleBlock{20, leftOnly.data(), nullptr});
  std::vector<double> rest(whole.begin() + 20, whole.end());
  std::vector<double> restLeft(20, 0.0);
  stage_.Filter(SampleBlock{20, restLeft.data(), rest.data()});
  right.insert(right.end(), rest.begin(), rest.end());
  EXPECT_EQ(right, expected) << "even splits keep the pairing, so the bits agree";
}

TEST_F(LowPassFiltering, OddSplitsContinueTheSignalToRounding) {
  std::vector<double> whole(101);
  for (std::size_t i = 0; i < whole.size(); ++i) {
    whole[i] = std::sin(0.05 * static_cast<double>(i * i));
  }
  std::vector<double> expected = whole;
  LowPassStage reference;
  reference.SetCutoff(10500);
  reference.SetFormat(&format_);
  reference.Filter(SampleBlock{101, expected.data(), nullptr});

  std::vector<double> pieces = whole;
  std::uint32_t at = 0;
  for (std::uint32_t len : {3u, 7u, 1u, 90u}) {
    stage_.Filter(SampleBlock{len, pieces.data() + at, nullptr});
    at += len;
  }
  for (std::size_t i = 0; i < whole.size(); ++i) {
    EXPECT_NEAR(pieces[i], expected[i], 1e-14) << i;
  }
}

TEST(LowPassLifetime, AStageNeverDesignedCallsNoIirFunction) {
  CountingHeap heap;
  { LowPassStage stage; }
  EXPECT_TRUE(heap.requests().empty());
  {
    LowPassStage stage;
    stage.SetCutoff(1000);
    const WAVEFORMATEX format = Pcm(8000, 1);
    stage.SetFormat(&format);
    EXPECT_EQ(heap.requests().size(), 4u) << "both channels' states, mono or not";
  }
  EXPECT_EQ(heap.outstanding(), 0);
}

}  // namespace
}  // namespace zel5
