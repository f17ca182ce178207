// When buffer calls service the controller: strictly more than 500 ms of
// tick count after the last pump, across the counter's wrap, never for a
// stream that another plug-in marked.
#include <gtest/gtest.h>

#include <vector>

#include "plugin/module_fixture.h"
#include "support/fake_host_stream.h"

namespace zel5::test {
namespace {

struct ClockCase {
  const char* name;
  std::vector<std::uint32_t> ticks;  // the clock at each buffer call
  std::vector<int> pumpsAfter;       // pumps counted after each call
};

class PumpClock : public ModuleFixture, public ::testing::WithParamInterface<ClockCase> {};

TEST_P(PumpClock, PumpsOnlyPastTheInterval) {
  Attach();
  FakeHostStream stream(1, 44100, 2);
  stream.SetBlock(std::vector<double>(441, 0.1), std::vector<double>(441, 0.1));
  const ClockCase& c = GetParam();
  for (std::size_t i = 0; i < c.ticks.size(); ++i) {
    tick_ = c.ticks[i];
    module_->ProcessBuffer(stream);
    EXPECT_EQ(log_->pumps, c.pumpsAfter[i]) << "call " << i << " at tick " << c.ticks[i];
  }
}

INSTANTIATE_TEST_SUITE_P(
    Ticks, PumpClock,
    ::testing::Values(
        ClockCase{"FirstBufferAfterLoadAboveTheInterval", {501}, {1}},
        ClockCase{"FirstBufferAtExactlyTheInterval", {500, 501}, {0, 1}},
        ClockCase{"IntervalCountsFromTheLastPump", {600, 1100, 1101, 1601, 1602}, {1, 1, 2, 2, 3}},
        ClockCase{"AcrossTheWrap", {0xFFFFFF00u, 0x000000F4u, 0x000000F5u}, {1, 1, 2}},
        ClockCase{"ClockStandingStill", {9000, 9000, 9000}, {1, 1, 1}}),
    [](const auto& info) { return std::string(info.param.name); });

using PumpTime = ModuleFixture;

TEST_F(PumpTime, IsTheReadingAfterThePumpReturns) {
  // A pump that takes 300 ms moves the next pump 300 ms later.
  Attach([this](FakeRecorderLink& link) {
    link.onPump = [this](FakeRecorderLink&) { tick_ += 300; };
  });
  FakeHostStream stream(1, 44100, 2);
  tick_ = 1000;
  module_->ProcessBuffer(stream);
  tick_ = 1300 + 500;
  module_->ProcessBuffer(stream);
  EXPECT_EQ(log_->pumps, 1);
  tick_ = 1300 + 501;
  module_->ProcessBuffer(stream);
  EXPECT_EQ(log_->pumps, 2);
}

using ForeignMark = ModuleFixture;

TEST_F(ForeignMark, AMarkedStreamNeitherConnectsNorPumpsNorFeeds) {
  Attach();
  FakeHostStream marked(1, 44100, 2);
  marked.SetMark(0x4000000A, 1);
  marked.SetBlock(std::vector<double>(441, 0.1), std::vector<double>(441, 0.1));
  tick_ = 100000;
  module_->ProcessBuffer(marked);
  EXPECT_EQ(log_->connects, 0);
  EXPECT_EQ(log_->pumps, 0);
  EXPECT_EQ(marked.samplesAsked(), 0);

  FakeHostStream plain(2, 44100, 2);
  plain.SetBlock(std::vector<double>(441, 0.1), std::vector<double>(441, 0.1));
  module_->ProcessBuffer(plain);
  module_->ProcessBuffer(marked);
  EXPECT_EQ(link_->Mixer()->StreamCount(), 1u) << "only the unmarked stream is mixed";
}

}  // namespace
}  // namespace zel5::test
