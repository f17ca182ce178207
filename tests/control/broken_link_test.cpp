// Links that end without a stop: the controller changes its link id, asks
// for the end with state 4, is not idle at connect, stops answering, or
// lets an encoder call throw. The encoder is still closed and its library
// freed, and the host's calls go on.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "control/recorder_fixture.h"

namespace zel5::test {
namespace {

using test_encoder::Behaviour;

class BrokenLink : public RecorderFixture {
 protected:
  void StartRecording(const test_encoder::Settings& settings) {
    block().Store(&ControlBlock::linkId, 5);
    PrepareStart(settings, ZEL5ENC_TEST_LIBRARY);
    Command(ZEL5_COMMAND_START);
    Attach();
    Buffer();
    ASSERT_EQ(Posts(1)[0].block.state, ZEL5_STATE_RECORDING);
  }
  // The link ended with nothing published after the start: only
  // MSG_LINK_CLOSED, with the link id of the connect.
  void ExpectEndedSilently() {
    const std::vector<controller::PostedMessage> posts = PostsUntilClosed();
    ASSERT_EQ(posts.size(), 2u);
    EXPECT_EQ(posts[1].wParam, 5u);
    EXPECT_THAT(CallLog(), ::testing::IsSupersetOf({"Close", "DestroyEncoder provider=0"}));
    EXPECT_EQ(CallLog().back(), "Unload");
  }
};

TEST_F(BrokenLink, AChangedLinkIdOrStateFourEndsTheRecordingWithoutAStop) {
  for (const bool changeLinkId : {true, false}) {
    TearDown();
    SetUp();
    StartRecording(Succeeding());
    if (changeLinkId) {
      block().Store(&ControlBlock::linkId, 6);
    } else {
      block().Store(&ControlBlock::state, ZEL5_STATE_FAILED);
    }
    BufferAndPump();
    ExpectEndedSilently();
    if (changeLinkId) {
      EXPECT_EQ(block().Load(&ControlBlock::state), ZEL5_STATE_RECORDING)
          << "the controller still sees the last publish";
    }
  }
}

TEST_F(BrokenLink, ABlockThatIsNotIdleAtConnectClosesTheLinkAtOnce) {
  block().Store(&ControlBlock::linkId, 9);
  block().Store(&ControlBlock::state, ZEL5_STATE_STOPPED);
  Attach();
  Buffer();
  std::vector<controller::PostedMessage> posts = PostsUntilClosed();
  ASSERT_EQ(posts.size(), 1u);
  EXPECT_EQ(posts[0].wParam, 9u);
  Buffer();
  posts = Posts(2);
  EXPECT_EQ(posts.size(), 2u) << "every buffer connects and ends the same way";
}

TEST_F(BrokenLink, AnEncoderThatThrowsDuringAPumpOrAStopEndsTheLinkNotTheHost) {
  for (const Behaviour behaviour :
       {Behaviour::kThrowFromWriteBlock, Behaviour::kThrowFromQueryCounterB,
        Behaviour::kThrowFromClose}) {
    TearDown();
    SetUp();
    StartRecording(test_encoder::MakeSettings(1, behaviour, log_));
    Buffer();
    if (behaviour == Behaviour::kThrowFromClose) {
      Command(ZEL5_COMMAND_STOP);
    }
    BufferAndPump();
    const std::vector<controller::PostedMessage> posts = PostsUntilClosed();
    EXPECT_EQ(CallLog().back(), "Unload") << "behaviour " << static_cast<int>(behaviour);
    EXPECT_THAT(CallLog(), ::testing::Contains("DestroyEncoder provider=0"));
    Buffer();  // the host goes on, and links up again
    EXPECT_EQ(controller_->Log().announcements.size(), 2u);
    (void)posts;
  }
}

TEST_F(BrokenLink, AControllerThatStopsAnsweringIsGivenUpOnAndTheHostGoesOn) {
  controller_->SetHung(true);
  Attach();
  Buffer();
  Buffer();
  controller_->SetHung(false);
  EXPECT_TRUE(controller_->Log().announcements.empty());
  Buffer();
  EXPECT_TRUE(controller_->WaitFor(
      [](const controller::EndpointLog& log) { return log.announcements.size() == 1; }));
}

TEST_F(BrokenLink, ARefusedAnnouncementLeavesTheMarkAndTheNextIsNotNew) {
  controller_->SetRefusing(true);
  Attach();
  Buffer();
  controller_->SetRefusing(false);
  Buffer();
  const controller::EndpointLog log = controller_->Log();
  ASSERT_EQ(log.announcements.size(), 2u);
  EXPECT_EQ(log.announcements[1].record.newStream, 0);
  EXPECT_TRUE(log.posts.empty()) << "a refused link posts nothing";
}

}  // namespace
}  // namespace zel5::test
