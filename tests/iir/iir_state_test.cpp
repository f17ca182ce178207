#include "iir/iir_state.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <array>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "iir/aligned_block.h"
#include "support/counting_heap.h"
#include "support/raise_recorder.h"

namespace zel5 {
namespace {

using test::CountingHeap;
using test::RaiseRecorder;

constexpr std::array<double, 6> kLowPassTaps{0.2713195303, 0.5426390605,  0.2713195303,
                                             1.0,          -0.0876532728, 0.1729313939};

std::vector<double> StoredTaps(const IirState& state) {
  const int n = 2 * state.tapSt.order + 2;
  return {state.tapSt.taps, state.tapSt.taps + n};
}

std::vector<double> DelayLine(const IirState& state) {
  return {state.dlySt.dlyl, state.dlySt.dlyl + state.tapSt.order};
}

class IirInit : public RaiseRecorder {
 protected:
  void TearDown() override {
    if (state_.initMark == kIirInitMark) {
      ClearStatus();
      nspIirFree(&state_);
    }
    RaiseRecorder::TearDown();
  }
  IirState state_{};
};

TEST_F(IirInit, LowPassTapsAreStoredUnchangedWithTheDenominatorMovedDown) {
  nspdIirInit(1, kLowPassTaps.data(), 2, &state_);
  EXPECT_TRUE(raised().empty());
  EXPECT_EQ(state_.initMark, kIirInitMark);
  EXPECT_EQ(state_.tapSt.order, 2);
  EXPECT_EQ(state_.tapSt.iirType, 1);
  EXPECT_EQ(state_.tapSt.form, 0);
  EXPECT_THAT(StoredTaps(state_),
              ::testing::ElementsAre(kLowPassTaps[0], kLowPassTaps[1], kLowPassTaps[2],
                                     kLowPassTaps[4], kLowPassTaps[5], kLowPassTaps[5]));
  EXPECT_THAT(DelayLine(state_), ::testing::ElementsAre(0.0, 0.0));
}

TEST_F(IirInit, NormalisesByTheRoundedReciprocalOfA0) {
  for (double a0 : {4.0, 3.0, -0.7}) {
    const std::array<double, 6> taps{0.1, 0.2, 0.3, a0, 0.5, 0.6};
    const std::array<double, 6> before = taps;
    nspdIirInit(0, taps.data(), 2, &state_);
    const double f = 1.0 / a0;
    EXPECT_THAT(StoredTaps(state_),
                ::testing::ElementsAre(0.1 * f, 0.2 * f, 0.3 * f, 0.5 * f, 0.6 * f, 0.6))
        << "a0 " << a0;
    EXPECT_EQ(std::memcmp(taps.data(), before.data(), sizeof(taps)), 0) << "caller's taps kept";
    nspIirFree(&state_);
  }
  // A product with the double nearest 1/3 differs from a quotient by 3.
  const std::array<double, 6> taps{0.01, 0.2, 0.3, 3.0, 0.5, 0.6};
  nspdIirInit(0, taps.data(), 2, &state_);
  EXPECT_EQ(StoredTaps(state_)[0], 0.01 * (1.0 / 3.0));
  EXPECT_NE(StoredTaps(state_)[0], 0.01 / 3.0);
}

TEST_F(IirInit, OrderZeroKeepsA0AndHasAnEmptyDelayLine) {
  CountingHeap heap;
  const std::array<double, 2> taps{0.5, 2.0};
  nspdIirInit(1, taps.data(), 0, &state_);
  EXPECT_THAT(StoredTaps(state_), ::testing::ElementsAre(0.25, 2.0));
  const std::size_t slot = sizeof(void*);
  EXPECT_THAT(heap.requests(), ::testing::ElementsAre(2 * 8 + 32 + slot, 32 + slot));
}

TEST_F(IirInit, OrderTwoAsksTheHeapForTapsThenDelayLine) {
  CountingHeap heap;
  nspdIirInit(1, kLowPassTaps.data(), 2, &state_);
  const std::size_t slot = sizeof(void*);  // 84 and 52 bytes on 32-bit builds
  EXPECT_THAT(heap.requests(), ::testing::ElementsAre(6 * 8 + 32 + slot, 2 * 8 + 32 + slot));
  nspIirFree(&state_);
  EXPECT_EQ(heap.outstanding(), 0);
}

struct RefusalCase {
  const char* name;
  int iirType;
  bool nullTaps;
  int order;
  bool nullState;
  bool alreadyInitialised;
  const char* context;
};

class IirInitRefusal : public IirInit, public ::testing::WithParamInterface<RefusalCase> {};

TEST_P(IirInitRefusal, RaisesBadArgumentAndChangesNothing) {
  const RefusalCase& c = GetParam();
  if (c.alreadyInitialised) {
    nspdIirInit(1, kLowPassTaps.data(), 2, &state_);
    state_.dlySt.dlyl[0] = 0.125;
    raised().clear();
  }
  const IirState before = state_;
  nspdIirInit(c.iirType, c.nullTaps ? nullptr : kLowPassTaps.data(), c.order,
              c.nullState ? nullptr : &state_);
  ASSERT_EQ(raised().size(), 1u);
  EXPECT_EQ(raised()[0].status, -5);
  EXPECT_EQ(raised()[0].function, "nspdIirInit");
  EXPECT_EQ(raised()[0].context, c.context);
  EXPECT_EQ(raised()[0].file, "nspiirh");
  EXPECT_GT(raised()[0].line, 0);
  EXPECT_EQ(std::memcmp(&before, &state_, sizeof(state_)), 0);
  if (c.alreadyInitialised) {
    EXPECT_EQ(state_.dlySt.dlyl[0], 0.125);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Checks, IirInitRefusal,
    ::testing::Values(
        RefusalCase{"NullState", 1, false, 2, true, false, "statePtr==0"},
        RefusalCase{"NullTaps", 1, true, 2, false, false, "tapVals==0"},
        RefusalCase{"NegativeOrder", 1, false, -1, false, false, "order < 0"},
        RefusalCase{"TypeTwo", 2, false, 2, false, false, "iirType is out of range"},
        RefusalCase{"TypeMinusOne", -1, false, 2, false, false, "iirType is out of range"},
        RefusalCase{"AlreadyInitialised", 1, false, 2, false, true,
                    "IIR filter state structure is already initialized! Use nspIirFree to "
                    "free it"},
        // The first failing check is the one reported.
        RefusalCase{"NullTapsAndBadOrder", 7, true, -3, false, false, "tapVals==0"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(IirInit, ZeroOrNanA0IsRefusedAndLeavesTheStateUninitialised) {
  for (double a0 : {0.0, -0.0, std::numeric_limits<double>::quiet_NaN()}) {
    CountingHeap heap;
    raised().clear();
    ClearStatus();
    const std::array<double, 6> taps{0.1, 0.2, 0.3, a0, 0.5, 0.6};
    nspdIirInit(1, taps.data(), 2, &state_);
    ASSERT_EQ(raised().size(), 2u) << "a0 " << a0;
    EXPECT_EQ(raised()[0].status, -5);
    EXPECT_EQ(raised()[0].function, "nspdIirlInit");
    EXPECT_EQ(raised()[0].context, "taps[order+1] equals zero");
    EXPECT_EQ(raised()[0].file, "nspiirl");
    EXPECT_EQ(raised()[1].status, -1);
    EXPECT_EQ(raised()[1].function, "nspdIirInit");
    EXPECT_EQ(raised()[1].context, std::nullopt);
    EXPECT_EQ(nspReadStatus(), -5) << "a backtrace keeps the cause";
    EXPECT_EQ(state_.initMark, 0);
    EXPECT_EQ(heap.outstanding(), 0) << "both blocks released";
  }
}

TEST_F(IirInit, AFailedAllocationReleasesTheOtherBlockAndKeepsTheMark) {
  for (int failing : {1, 2}) {
    CountingHeap heap(failing);
    raised().clear();
    ClearStatus();
    state_.initMark = 5;
    nspdIirInit(1, kLowPassTaps.data(), 2, &state_);
    EXPECT_EQ(heap.requests().size(), 2u) << "both allocations are attempted";
    ASSERT_EQ(raised().size(), 1u);
    EXPECT_EQ(raised()[0].status, -4);
    EXPECT_EQ(raised()[0].context, "insufficiency of memory for IIR filter state");
    EXPECT_EQ(state_.initMark, 5);
    EXPECT_EQ(heap.outstanding(), 0);
  }
  state_.initMark = 0;
}

TEST_F(IirInit, FreeReleasesAndASecondFreeIsRefused) {
  CountingHeap heap;
  nspdIirInit(1, kLowPassTaps.data(), 2, &state_);
  nspIirFree(&state_);
  EXPECT_EQ(state_.initMark, 0);
  EXPECT_EQ(heap.outstanding(), 0);
  EXPECT_TRUE(raised().empty());
  nspIirFree(&state_);
  ASSERT_EQ(raised().size(), 1u);
  EXPECT_EQ(raised()[0].function, "nspIirFree");
  EXPECT_EQ(raised()[0].context, "IIR filter wasn't initialized");
  ClearStatus();
  nspIirFree(nullptr);
  EXPECT_EQ(raised().back().context, "statePtr==0");
}

TEST_F(IirInit, ReinitialisingAfterFreeStartsFromAZeroDelayLine) {
  nspdIirInit(1, kLowPassTaps.data(), 2, &state_);
  state_.dlySt.dlyl[0] = 1.5;
  state_.dlySt.dlyl[1] = -2.5;
  nspIirFree(&state_);
  nspdIirInit(1, kLowPassTaps.data(), 2, &state_);
  EXPECT_THAT(DelayLine(state_), ::testing::ElementsAre(0.0, 0.0));
}

TEST(IirInitDeath, AFailedAllocationEndsTheProcessUnderTheSystemsErrorMode) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        CountingHeap heap(2);
        IirState state{};
        nspdIirInit(1, kLowPassTaps.data(), 2, &state);
      },
      ::testing::ExitedWithCode(1), ::testing::IsEmpty());
}

using IirLowLevelInit = RaiseRecorder;

TEST_F(IirLowLevelInit, TapStateRefusals) {
  std::array<double, 6> taps{0.1, 0.2, 0.3, 1.0, 0.5, 0.6};
  IirTapState tapSt{};
  const struct {
    int iirType;
    double* taps;
    int order;
    IirTapState* tapSt;
    const char* context;
  } cases[] = {
      {1, taps.data(), 2, nullptr, "tapStPtr==0"},
      {1, nullptr, 2, &tapSt, "taps==0"},
      {1, taps.data(), -1, &tapSt, "order < 0"},
      {3, taps.data(), 2, &tapSt, "iirType is out of range"},
  };
  for (const auto& c : cases) {
    raised().clear();
    ClearStatus();
    nspdIirlInit(c.iirType, c.taps, c.order, c.tapSt);
    ASSERT_EQ(raised().size(), 1u) << c.context;
    EXPECT_EQ(raised()[0].context, c.context);
    EXPECT_EQ(raised()[0].function, "nspdIirlInit");
    EXPECT_EQ(raised()[0].file, "nspiirl");
  }
}

TEST_F(IirLowLevelInit, DelayLineChecksCarryOnToTheStatusTest) {
  std::array<double, 4> dlyl{9, 9, 9, 9};
  IirDelayState dlySt{};
  nspdIirlInitDlyl(nullptr, dlyl.data(), nullptr);
  ASSERT_EQ(raised().size(), 2u);
  EXPECT_EQ(raised()[0].context, "tapStPtr==0");
  EXPECT_EQ(raised()[1].context, "dlyStPtr==0");

  raised().clear();
  ClearStatus();
  const IirTapState unusable{2, nullptr, 0, 4};
  nspdIirlInitDlyl(&unusable, nullptr, &dlySt);
  ASSERT_EQ(raised().size(), 3u);
  EXPECT_EQ(raised()[0].context, "structure *tapStPtr wasn't initialized");
  EXPECT_EQ(raised()[1].context, "structure *tapStPtr wasn't initialized");
  EXPECT_EQ(raised()[2].context, "dlyl==0");
  EXPECT_EQ(dlySt.dlyl, nullptr);

  raised().clear();
  ClearStatus();
  std::array<double, 6> taps{};
  const IirTapState fine{3, taps.data(), 0, 0};
  nspdIirlInitDlyl(&fine, dlyl.data(), &dlySt);
  EXPECT_TRUE(raised().empty());
  EXPECT_EQ(dlySt.dlyl, dlyl.data());
  EXPECT_THAT(dlyl, ::testing::ElementsAre(0.0, 0.0, 0.0, 9.0));
}

using BlockCopy = RaiseRecorder;

TEST_F(BlockCopy, CopiesBitPatternsIncludingNanPayloads) {
  const double payloadNan = std::bit_cast<double>(std::uint64_t{0x7FF4000000000123});
  const std::array<double, 3> src{payloadNan, -0.0, 1.5};
  std::array<double, 3> dst{};
  nspdbCopy(src.data(), dst.data(), 3);
  EXPECT_EQ(std::memcmp(src.data(), dst.data(), sizeof(src)), 0);
  EXPECT_TRUE(raised().empty());
}

TEST_F(BlockCopy, Refusals) {
  const std::array<double, 2> src{1.0, 2.0};
  std::array<double, 2> dst{7.0, 7.0};
  const struct {
    const double* src;
    double* dst;
    int n;
    const char* context;
  } cases[] = {
      {src.data(), dst.data(), 0, "n<=0"},
      {src.data(), dst.data(), -2, "n<=0"},
      {nullptr, dst.data(), 2, "src==0"},
      {src.data(), nullptr, 2, "dst==0"},
  };
  for (const auto& c : cases) {
    raised().clear();
    nspdbCopy(c.src, c.dst, c.n);
    ASSERT_EQ(raised().size(), 1u) << c.context;
    EXPECT_EQ(raised()[0].status, -5);
    EXPECT_EQ(raised()[0].function, "nspdbCopy");
    EXPECT_EQ(raised()[0].context, c.context);
    EXPECT_EQ(raised()[0].file, "nsparith");
  }
  EXPECT_THAT(dst, ::testing::ElementsAre(7.0, 7.0));
}

TEST(AlignedBlock, IsAlignedWhateverTheHeapGives) {
  // A heap whose blocks start at every offset within a 32-byte line.
  static unsigned char arena[4096];
  static std::size_t offset = 0;
  const NspHeap previous =
      nspSetHeap({[](std::size_t) -> void* { return arena + offset; }, [](void*) {}});
  for (offset = 0; offset < 40; ++offset) {
    double* p = nspdAlignedAlloc(5);
    ASSERT_NE(p, nullptr);
    const auto start = reinterpret_cast<std::uintptr_t>(arena + offset);
    const auto aligned = reinterpret_cast<std::uintptr_t>(p);
    EXPECT_EQ(aligned % 32, 0u);
    EXPECT_GE(aligned, start + sizeof(void*));
    EXPECT_LE(aligned + 5 * sizeof(double), start + 5 * 8 + 32 + sizeof(void*));
  }
  nspSetHeap(previous);
  nspAlignedFree(nullptr);
}

}  // namespace
}  // namespace zel5
