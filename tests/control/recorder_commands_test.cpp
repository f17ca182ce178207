// Pause and resume, commands in the wrong state, unknown commands, and
// starts that fail with the text the controller is shown.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>

#include "control/recorder_fixture.h"

namespace zel5::test {
namespace {

using test_encoder::Behaviour;

class RecorderCommands : public RecorderFixture {
 protected:
  // Attached, linked and recording, with the start's publish seen.
  void StartRecording() {
    PrepareStart(Succeeding(), ZEL5ENC_TEST_LIBRARY);
    Command(ZEL5_COMMAND_START);
    Attach();
    Buffer();
    ASSERT_EQ(Posts(1)[0].block.state, ZEL5_STATE_RECORDING);
  }
  std::size_t PostCount() const { return controller_->Log().posts.size(); }
};

TEST_F(RecorderCommands, EachPauseTogglePublishesOnceAndNothingIsFedWhilePaused) {
  StartRecording();
  Command(ZEL5_COMMAND_TOGGLE_PAUSE);
  BufferAndPump();
  EXPECT_EQ(Posts(2)[1].block.state, ZEL5_STATE_PAUSED);
  for (int i = 0; i < 5; ++i) {
    Buffer();
  }
  BufferAndPump();
  EXPECT_EQ(PostCount(), 2u) << "a paused pump writes and publishes nothing";
  Command(ZEL5_COMMAND_TOGGLE_PAUSE);
  BufferAndPump();
  EXPECT_EQ(Posts(3)[2].block.state, ZEL5_STATE_RECORDING);
  // The resuming pump goes on to write what was fed before the pause: the
  // blocks of the start and of the pause.
  EXPECT_EQ(Posts(4)[3].block.counterA, 2u * 441u);
  BufferAndPump();
  EXPECT_EQ(Posts(5)[4].block.counterA, 3u * 441u) << "none of the seven paused buffers";
}

TEST_F(RecorderCommands, CommandsInTheWrongStateAreClearedAndIgnored) {
  Attach();
  Buffer();
  for (std::int32_t command : {ZEL5_COMMAND_STOP, ZEL5_COMMAND_TOGGLE_PAUSE, 7}) {
    Command(command);
    BufferAndPump();
    EXPECT_EQ(block().Load(&ControlBlock::command), 0) << "command " << command;
  }
  EXPECT_EQ(PostCount(), 0u) << "nothing published in Idle";

  PrepareStart(Succeeding(), ZEL5ENC_TEST_LIBRARY);
  Command(ZEL5_COMMAND_START);
  BufferAndPump();
  Posts(1);
  Command(ZEL5_COMMAND_START);
  BufferAndPump();
  EXPECT_EQ(block().Load(&ControlBlock::command), 0);
  EXPECT_EQ(Posts(2)[1].block.state, ZEL5_STATE_RECORDING);
  const std::vector<std::string> calls = CallLog();
  EXPECT_EQ(std::count(calls.begin(), calls.end(),
                       "CreateEncoder provider=0 rate=44100 channels=2 bits=16"),
            1)
      << "a second start during a recording is ignored";
}

TEST_F(RecorderCommands, StopWhilePausedStopsAndClosesTheLink) {
  StartRecording();
  Command(ZEL5_COMMAND_TOGGLE_PAUSE);
  BufferAndPump();
  Posts(2);
  Command(ZEL5_COMMAND_STOP);
  BufferAndPump();
  const std::vector<controller::PostedMessage> posts = PostsUntilClosed();
  ASSERT_EQ(posts.size(), 4u);
  EXPECT_EQ(posts[2].block.state, ZEL5_STATE_STOPPED);
  EXPECT_THAT(CallLog(), ::testing::IsSupersetOf({"Close", "DestroyEncoder provider=0", "Unload"}));
}

struct FailedStart {
  const char* name;
  std::string library;
  test_encoder::Settings settings;
  std::string outputName;
  const char* errorText;
};

class StartFailures : public RecorderFixture, public ::testing::WithParamInterface<FailedStart> {};

TEST_P(StartFailures, PublishFailedWithTheReasonThenCloseTheLink) {
  const FailedStart& c = GetParam();
  block().SetText(&ControlBlock::encoderName, "name at connect");
  block().SetText(&ControlBlock::errorText, "earlier text");
  ::setenv(test_encoder::kLogVariable, log_.c_str(), 1);
  PrepareStart(c.settings, c.library, c.outputName);
  Command(ZEL5_COMMAND_START);
  Attach();
  Buffer();
  const std::vector<controller::PostedMessage> posts = PostsUntilClosed();
  ::unsetenv(test_encoder::kLogVariable);
  ASSERT_EQ(posts.size(), 2u);
  EXPECT_EQ(posts[0].block.state, ZEL5_STATE_FAILED);
  EXPECT_STREQ(posts[0].block.errorText, c.errorText);
  EXPECT_EQ(posts[1].message, MSG_LINK_CLOSED);
  if (c.library.find("missing") == std::string::npos) {
    EXPECT_EQ(CallLog().back(), "Unload") << "the library is freed";
  }
}

INSTANTIATE_TEST_SUITE_P(
    Reasons, StartFailures,
    ::testing::Values(
        FailedStart{"MissingLibrary", "/no/such/folder/missing-encoder.so",
                    test_encoder::MakeSettings(1), "take",
                    "Cannot start encoder. Library 'missing-encoder.so' cannot be loaded."},
        FailedStart{"NoExports", ZEL5ENC_NOEXPORTS_LIBRARY, test_encoder::MakeSettings(1), "take",
                    "Cannot start encoder. Library 'zel5enc-noexports.so' cannot be loaded."},
        FailedStart{"OnlyOneExport", ZEL5ENC_NOCOUNT_LIBRARY, test_encoder::MakeSettings(1), "take",
                    "Cannot start encoder. Library 'zel5enc-nocount.so' cannot be loaded."},
        FailedStart{"NoProviders", ZEL5ENC_EMPTY_LIBRARY, test_encoder::MakeSettings(1), "take",
                    "Cannot find requested provider."},
        FailedStart{"NoSuchProvider", ZEL5ENC_TEST_LIBRARY, test_encoder::MakeSettings(9), "take",
                    "Cannot find requested provider."},
        FailedStart{"CreateEncoderFails", ZEL5ENC_TEST_LIBRARY,
                    test_encoder::MakeSettings(1, Behaviour::kFailCreateEncoder), "take",
                    "Cannot open encoder 'name at connect'."},
        FailedStart{"OpenFails", ZEL5ENC_TEST_LIBRARY,
                    test_encoder::MakeSettings(1, Behaviour::kFailOpen), "take",
                    "Cannot open encoder 'Test encoder'."},
        FailedStart{"NameLeavesNoRoomForTheExtension", ZEL5ENC_TEST_LIBRARY,
                    test_encoder::MakeSettings(1), std::string(250, 'n'),
                    "Cannot open encoder 'Test encoder'."},
        FailedStart{"EncoderThrows", ZEL5ENC_TEST_LIBRARY,
                    test_encoder::MakeSettings(1, Behaviour::kThrowFromCreateEncoder), "take",
                    "earlier text"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace zel5::test
