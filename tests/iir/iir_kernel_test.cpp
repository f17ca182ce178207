#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstring>
#include <vector>

#include "iir/iir_state.h"
#include "support/raise_recorder.h"
#include "support/uniform_noise.h"

namespace zel5 {
namespace {

using test::RaiseRecorder;

// A state whose stored taps are given as they are after normalisation.
class StoredState {
 public:
  explicit StoredState(std::vector<double> taps, int order)
      : taps_(std::move(taps)), dlyl_(static_cast<std::size_t>(order) + 1, 0.0) {
    tapSt_ = {order, taps_.data(), 1, 0};
    dlySt_ = {dlyl_.data()};
  }
  const IirTapState* tapSt() const { return &tapSt_; }
  IirDelayState* dlySt() { return &dlySt_; }
  IirTapState& mutableTapSt() { return tapSt_; }
  std::vector<double>& delay() { return dlyl_; }

 private:
  std::vector<double> taps_;
  std::vector<double> dlyl_;
  IirTapState tapSt_{};
  IirDelayState dlySt_{};
};

bool SameBits(const std::vector<double>& a, const std::vector<double>& b) {
  return a.size() == b.size() &&
         (a.empty() || std::memcmp(a.data(), b.data(), a.size() * sizeof(double)) == 0);
}

const std::vector<double> kExampleTaps{0.2, 0.4, 0.2, -0.5, 0.3, 0.3};

using KernelExactness = RaiseRecorder;

TEST_F(KernelExactness, OrderTwoExampleGivesTheExactDoublesInPlaceAndApart) {
  for (bool inPlace : {false, true}) {
    StoredState state(kExampleTaps, 2);
    std::vector<double> in{1.0, 0.5, -0.25};
    std::vector<double> separate(3, 99.0);
    double* out = inPlace ? in.data() : separate.data();
    nspdbIirl(state.tapSt(), state.dlySt(), in.data(), out, 3);
    EXPECT_TRUE(raised().empty());
    EXPECT_EQ(out[0], 0.2);
    EXPECT_EQ(out[1], 0.6);
    EXPECT_EQ(out[2], 0.5899999999999999);
    EXPECT_EQ(state.delay()[0], 0.11499999999999994);
    EXPECT_EQ(state.delay()[1], -0.22699999999999998);
  }
}

// A plain single-step evaluation of the recurrence: what pairing must agree
// with to rounding.
std::vector<double> SingleStepReference(const std::vector<double>& taps, int order,
                                        const std::vector<double>& x) {
  std::vector<double> d(static_cast<std::size_t>(order), 0.0);
  std::vector<double> y(x.size());
  for (std::size_t i = 0; i < x.size(); ++i) {
    y[i] = taps[0] * x[i] + (order > 0 ? d[0] : 0.0);
    for (int k = 1; k <= order; ++k) {
      const double carried = k < order ? d[static_cast<std::size_t>(k)] : 0.0;
      d[static_cast<std::size_t>(k - 1)] = taps[static_cast<std::size_t>(k)] * x[i] -
                                           taps[static_cast<std::size_t>(order + k)] * y[i] +
                                           carried;
    }
  }
  return y;
}

struct OrderCase {
  int order;
  std::vector<double> taps;  // stored layout
};

class KernelOrders : public RaiseRecorder, public ::testing::WithParamInterface<OrderCase> {};

TEST_P(KernelOrders, InPlaceEqualsSeparateBitForBitForEvenAndOddLengths) {
  const OrderCase& c = GetParam();
  for (int n : {0, 1, 2, 7, 64, 65}) {
    // One spare sample, so that even an empty call gets real arrays.
    const std::vector<double> x = test::UniformNoise(static_cast<std::size_t>(n) + 1, 11, 1.0);
    StoredState apart(c.taps, c.order);
    StoredState inPlace(c.taps, c.order);
    std::vector<double> y(x.size(), 0.0);
    std::vector<double> z = x;
    nspdbIirl(apart.tapSt(), apart.dlySt(), x.data(), y.data(), n);
    nspdbIirl(inPlace.tapSt(), inPlace.dlySt(), z.data(), z.data(), n);
    EXPECT_EQ(y.back(), 0.0) << "nothing past the count is written";
    EXPECT_EQ(z.back(), x.back());
    y.back() = z.back();
    EXPECT_TRUE(SameBits(y, z)) << "order " << c.order << " n " << n;
    EXPECT_TRUE(SameBits(apart.delay(), inPlace.delay()));
  }
  EXPECT_TRUE(raised().empty());
}

TEST_P(KernelOrders, AgreesWithSingleStepsToRoundingAndContinuesAcrossCalls) {
  const OrderCase& c = GetParam();
  const std::vector<double> x = test::UniformNoise(401, 5, 1.0);
  const std::vector<double> expected = SingleStepReference(c.taps, c.order, x);
  StoredState state(c.taps, c.order);
  std::vector<double> y(x.size());
  // Uneven calls: some end on a single step, some start pairs one sample on.
  std::size_t at = 0;
  for (std::size_t len : {3u, 5u, 1u, 8u, 0u, 384u}) {
    nspdbIirl(state.tapSt(), state.dlySt(), x.data() + at, y.data() + at, static_cast<int>(len));
    at += len;
  }
  ASSERT_EQ(at, x.size());
  for (std::size_t i = 0; i < x.size(); ++i) {
    ASSERT_NEAR(y[i], expected[i], 1e-12) << "sample " << i;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Orders, KernelOrders,
    ::testing::Values(OrderCase{0, {0.75, 1.0}}, OrderCase{1, {0.3, 0.3, -0.4, -0.4}},
                      OrderCase{2, {0.2, 0.4, 0.2, -0.5, 0.3, 0.3}},
                      OrderCase{3, {0.1, 0.3, 0.3, 0.1, -0.6, 0.4, -0.1, -0.1}},
                      OrderCase{4, {0.05, 0.2, 0.3, 0.2, 0.05, -0.9, 0.6, -0.2, 0.03, 0.03}}));

// The recurrence written out once more, step by step as its definition
// groups the sums, for any order: the kernel must give these bits exactly.
class LiteralKernel {
 public:
  LiteralKernel(const std::vector<double>& taps, int order)
      : n_(order),
        b_(taps.begin(), taps.begin() + order + 1),
        a_(1, 0.0),
        d_(static_cast<std::size_t>(order), 0.0) {
    a_.insert(a_.end(), taps.begin() + order + 1, taps.begin() + 2 * order + 1);
  }
  std::vector<double> Filter(const std::vector<double>& x) {
    std::vector<double> y(x.size());
    std::size_t i = 0;
    if (n_ >= 2) {
      for (; i + 1 < x.size(); i += 2) {
        Pair(x[i], x[i + 1], y[i], y[i + 1]);
      }
    }
    for (; i < x.size(); ++i) {
      y[i] = Single(x[i]);
    }
    return y;
  }
  const std::vector<double>& delay() const { return d_; }

 private:
  double Single(double x) {
    if (n_ == 0) {
      return b_[0] * x;
    }
    const double y = b_[0] * x + d_[0];
    for (int k = 1; k <= n_ - 1; ++k) {
      d_[k - 1] = (b_[k] * x - a_[k] * y) + d_[k];
    }
    d_[n_ - 1] = b_[n_] * x - a_[n_] * y;
    return y;
  }
  void Pair(double x0, double x1, double& y0, double& y1) {
    const int n = n_;
    y0 = b_[0] * x0 + d_[0];
    y1 = ((b_[1] * x0 + b_[0] * x1) - a_[1] * y0) + d_[1];
    for (int k = 2; k <= n - 1; ++k) {
      d_[k - 2] = (((b_[k - 1] * x1 - a_[k - 1] * y1) + b_[k] * x0) - a_[k] * y0) + d_[k];
    }
    d_[n - 2] = ((b_[n - 1] * x1 - a_[n - 1] * y1) + b_[n] * x0) - a_[n] * y0;
    d_[n - 1] = b_[n] * x1 - a_[n] * y1;
  }

  int n_;
  std::vector<double> b_, a_, d_;
};

TEST_P(KernelOrders, GivesTheBitsOfTheRecurrenceAsGrouped) {
  const OrderCase& c = GetParam();
  StoredState state(c.taps, c.order);
  LiteralKernel literal(c.taps, c.order);
  unsigned seed = 21;
  for (int n : {1, 2, 3, 17, 256, 255}) {
    const std::vector<double> x = test::UniformNoise(static_cast<std::size_t>(n), seed++, 1.0);
    std::vector<double> y = x;
    nspdbIirl(state.tapSt(), state.dlySt(), y.data(), y.data(), n);
    EXPECT_TRUE(SameBits(y, literal.Filter(x))) << "order " << c.order << " n " << n;
    const std::vector<double> delay(state.delay().begin(), state.delay().begin() + c.order);
    EXPECT_TRUE(SameBits(delay, literal.delay()));
  }
}

TEST_F(KernelExactness, OrderZeroOnlyScalesAndNeverTouchesTheDelayLine) {
  StoredState state({0.75, 1.0}, 0);
  state.delay()[0] = 42.0;
  std::vector<double> x{1.0, -2.0, 0.5};
  nspdbIirl(state.tapSt(), state.dlySt(), x.data(), x.data(), 3);
  EXPECT_THAT(x, ::testing::ElementsAre(0.75, -1.5, 0.375));
  EXPECT_EQ(state.delay()[0], 42.0);
}

using KernelRefusal = RaiseRecorder;

TEST_F(KernelRefusal, NullArgumentsAreAllReportedAndNothingIsFiltered) {
  nspdbIirl(nullptr, nullptr, nullptr, nullptr, 4);
  ASSERT_EQ(raised().size(), 4u);
  EXPECT_EQ(raised()[0].context, "tapStPtr==0");
  EXPECT_EQ(raised()[1].context, "dlyStPtr==0");
  EXPECT_EQ(raised()[2].context, "inSamps==0");
  EXPECT_EQ(raised()[3].context, "outSamps==0");
  for (const auto& r : raised()) {
    EXPECT_EQ(r.function, "nspdbIirl");
    EXPECT_EQ(r.file, "nspiirl");
  }
}

TEST_F(KernelRefusal, StateChecksAreAllReportedBeforeTheStatusTest) {
  StoredState state(kExampleTaps, 2);
  state.mutableTapSt().form = 9;
  IirDelayState noDelay{nullptr};
  std::vector<double> x{1.0, 2.0};
  nspdbIirl(state.tapSt(), &noDelay, x.data(), x.data(), -1);
  ASSERT_EQ(raised().size(), 3u);
  EXPECT_EQ(raised()[0].context, "structure *tapStPtr wasn't initialized");
  EXPECT_EQ(raised()[1].context, "structure *dlyStPtr wasn't initialized");
  EXPECT_EQ(raised()[2].context, "numIters < 0");
  EXPECT_THAT(x, ::testing::ElementsAre(1.0, 2.0));
}

TEST_F(KernelRefusal, FormTwoIsUnsupported) {
  StoredState state(kExampleTaps, 2);
  state.mutableTapSt().form = 2;
  std::vector<double> x{1.0, 2.0};
  nspdbIirl(state.tapSt(), state.dlySt(), x.data(), x.data(), 2);
  ASSERT_EQ(raised().size(), 1u);
  EXPECT_EQ(raised()[0].status, -6);
  EXPECT_THAT(x, ::testing::ElementsAre(1.0, 2.0));
}

TEST_F(KernelRefusal, AStickyNegativeStatusStopsEveryLaterCall) {
  nspRaise(-5, "earlier", nullptr, "test", 1);
  raised().clear();
  StoredState state(kExampleTaps, 2);
  std::vector<double> x{1.0, 2.0};
  nspdbIirl(state.tapSt(), state.dlySt(), x.data(), x.data(), 2);
  EXPECT_TRUE(raised().empty());
  EXPECT_THAT(x, ::testing::ElementsAre(1.0, 2.0));
}

using StateFiltering = RaiseRecorder;

TEST_F(StateFiltering, RunsThroughAnInitialisedStateAndRefusesAFreedOne) {
  IirState state{};
  const std::array<double, 6> taps{0.2, 0.4, 0.2, 1.0, -0.5, 0.3};
  nspdIirInit(1, taps.data(), 2, &state);
  std::vector<double> x{1.0, 0.5, -0.25};
  nspdbIir(&state, x.data(), x.data(), 3);
  EXPECT_THAT(x, ::testing::ElementsAre(0.2, 0.6, 0.5899999999999999));
  std::vector<double> untouched{1.0};
  nspdbIir(&state, untouched.data(), untouched.data(), 0);
  EXPECT_EQ(state.dlySt.dlyl[0], 0.11499999999999994);
  EXPECT_EQ(untouched[0], 1.0);
  EXPECT_TRUE(raised().empty());

  nspIirFree(&state);
  nspdbIir(&state, x.data(), x.data(), 3);
  ASSERT_EQ(raised().size(), 1u);
  EXPECT_EQ(raised()[0].function, "nspdbIir");
  EXPECT_EQ(raised()[0].context, "IIR filter wasn't initialized");
  EXPECT_EQ(raised()[0].file, "nspiirh");
}

TEST_F(StateFiltering, AKernelRefusalIsFollowedByABacktrace) {
  IirState state{};
  const std::array<double, 6> taps{0.2, 0.4, 0.2, 1.0, -0.5, 0.3};
  nspdIirInit(1, taps.data(), 2, &state);
  std::vector<double> x{1.0};
  nspdbIir(&state, x.data(), x.data(), -3);
  ASSERT_EQ(raised().size(), 2u);
  EXPECT_EQ(raised()[0].context, "numIters < 0");
  EXPECT_EQ(raised()[1].status, -1);
  EXPECT_EQ(raised()[1].function, "nspdbIir");
  EXPECT_EQ(raised()[1].context, std::nullopt);
  ClearStatus();
  nspIirFree(&state);
}

}  // namespace
}  // namespace zel5
