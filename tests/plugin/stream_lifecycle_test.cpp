// What buffers, closing streams and unloading do to a link: buffers reach
// the mixer only while recording, the last stream closing ends the link, and
// detach stops a running recording before the module goes.
#include <gtest/gtest.h>

#include <vector>

#include "plugin/module_fixture.h"
#include "support/fake_host_stream.h"

namespace zel5::test {
namespace {

class StreamLifecycle : public ModuleFixture {
 protected:
  static void Fill(FakeHostStream& stream) {
    stream.SetBlock(std::vector<double>(441, 0.25), std::vector<double>(441, 0.25));
  }
};

TEST_F(StreamLifecycle, BuffersReachTheMixerOnlyWhileRecording) {
  const struct {
    std::int32_t state;
    std::uint32_t streamsMixed;
  } cases[] = {{ZEL5_STATE_RECORDING, 2}, {ZEL5_STATE_PAUSED, 0}, {ZEL5_STATE_IDLE, 0}};
  for (const auto& c : cases) {
    Attach([&](FakeRecorderLink& link) { link.initialState = c.state; });
    FakeHostStream a(1, 44100, 2), b(2, 22050, 1);
    Fill(a);
    Fill(b);
    module_->ProcessBuffer(a);
    module_->ProcessBuffer(b);
    EXPECT_EQ(link_->Mixer()->StreamCount(), c.streamsMixed) << "state " << c.state;
    Detach();
  }
}

TEST_F(StreamLifecycle, ARecordingStartedByAPumpTakesTheNextBuffers) {
  Attach([](FakeRecorderLink& link) {
    link.initialState = ZEL5_STATE_IDLE;
    link.onPump = [](FakeRecorderLink& self) { self.SetState(ZEL5_STATE_RECORDING); };
  });
  FakeHostStream stream(1, 44100, 2);
  Fill(stream);
  tick_ = 1000;
  module_->ProcessBuffer(stream);
  EXPECT_EQ(link_->Mixer()->StreamCount(), 0u) << "fed before the pump started recording";
  module_->ProcessBuffer(stream);
  EXPECT_EQ(link_->Mixer()->StreamCount(), 1u);
}

TEST_F(StreamLifecycle, ACloseWhileNotConnectedDoesNothing) {
  Attach([](FakeRecorderLink& link) { link.linkUp = false; });
  FakeHostStream stream(1, 44100, 2);
  module_->ProcessBuffer(stream);
  module_->OnStreamClosed(stream);
  EXPECT_EQ(log_->stops + log_->disconnects, 0);
}

TEST_F(StreamLifecycle, TheLastStreamClosingStopsARecording) {
  Attach();
  FakeHostStream a(1, 44100, 2), b(2, 44100, 2);
  Fill(a);
  Fill(b);
  module_->ProcessBuffer(a);
  module_->ProcessBuffer(b);
  module_->OnStreamClosed(a);
  EXPECT_EQ(log_->stops, 0);
  EXPECT_TRUE(link_->IsConnected());
  module_->OnStreamClosed(b);
  EXPECT_EQ(log_->stops, 1);
  EXPECT_EQ(log_->disconnects, 0);
  EXPECT_FALSE(link_->IsConnected());
  module_->ProcessBuffer(a);
  EXPECT_TRUE(link_->IsConnected()) << "the next buffer links up again";
}

TEST_F(StreamLifecycle, AnyCloseEndsAnIdleLinkSinceNothingWasMixed) {
  Attach([](FakeRecorderLink& link) { link.initialState = ZEL5_STATE_IDLE; });
  FakeHostStream a(1, 44100, 2), never(9, 8000, 1);
  module_->ProcessBuffer(a);
  module_->OnStreamClosed(never);
  EXPECT_EQ(log_->disconnects, 1);
  EXPECT_EQ(log_->stops, 0);
}

TEST_F(StreamLifecycle, DetachStopsARecordingOrClosesTheLinkBeforeItGoes) {
  const struct {
    bool linkUp;
    std::int32_t state;
    int stops;
    int disconnects;
  } cases[] = {
      {true, ZEL5_STATE_RECORDING, 1, 0},
      {true, ZEL5_STATE_PAUSED, 1, 0},
      {true, ZEL5_STATE_IDLE, 0, 1},
      {false, ZEL5_STATE_IDLE, 0, 0},
  };
  for (const auto& c : cases) {
    log_ = std::make_shared<LinkLog>();
    Attach([&](FakeRecorderLink& link) {
      link.linkUp = c.linkUp;
      link.initialState = c.state;
    });
    FakeHostStream stream(1, 44100, 2);
    module_->ProcessBuffer(stream);
    Detach();
    EXPECT_EQ(log_->stops, c.stops) << "state " << c.state;
    EXPECT_EQ(log_->disconnects, c.disconnects) << "state " << c.state;
    EXPECT_EQ(log_->destroyed, 1) << "the link goes with the module";
  }
}

}  // namespace
}  // namespace zel5::test
