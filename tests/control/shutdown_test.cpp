// A recording ended by the host: its last stream closing, or the module
// being unloaded. Both stop it properly before the link goes.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "control/recorder_fixture.h"

namespace zel5::test {
namespace {

using HostEndsRecording = RecorderFixture;

TEST_F(HostEndsRecording, TheLastStreamClosingOrAnUnloadStopsAndPublishes) {
  for (const bool unload : {false, true}) {
    TearDown();
    SetUp();
    PrepareStart(Succeeding(), ZEL5ENC_TEST_LIBRARY);
    Command(ZEL5_COMMAND_START);
    Attach();
    Buffer();
    Buffer();
    if (unload) {
      module_.reset();
    } else {
      module_->OnStreamClosed(stream_);
    }
    const std::vector<controller::PostedMessage> posts = PostsUntilClosed();
    ASSERT_EQ(posts.size(), 3u) << (unload ? "unload" : "last stream");
    EXPECT_EQ(posts[1].block.state, ZEL5_STATE_STOPPED);
    EXPECT_EQ(posts[1].block.counterA, 2u * 441u) << "the tail was written";
    EXPECT_EQ(CallLog().back(), "Unload");
  }
}

}  // namespace
}  // namespace zel5::test
