// One recording from the first buffer to the link's end: the announcement,
// the start, the pumps writing exactly what the mixer gives, the stop that
// writes the tail, and the messages the controller sees.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstring>

#include "control/recorder_fixture.h"
#include "convert/format_converter.h"
#include "platform/process.h"

namespace zel5::test {
namespace {

class RecordingRoad : public RecorderFixture {
 protected:
  // What the stream's blocks become in a 44100 Hz stereo mix of that stream
  // alone: its own conversion.
  std::string ConvertedBlocks(int first, int last);
};

std::string RecordingRoad::ConvertedBlocks(int first, int last) {
  auto converter = MakeFormatConverter();
  const WAVEFORMATEX format{1, 2, 44100, 176400, 4, 16, 0};
  std::uint32_t size = 0;
  converter->Init(&format, 176400, &format, &size);
  std::string pcm;
  std::vector<std::uint8_t> buffer(size);
  for (int i = first; i <= last; ++i) {
    SetBlock(i);
    SampleBlock* block = stream_.GetSamples();
    std::uint32_t written = 0;
    converter->ConvertSamples(*block, buffer.data(), size, &written);
    pcm.append(reinterpret_cast<const char*>(buffer.data()), written);
  }
  return pcm;
}

TEST_F(RecordingRoad, FromAnnouncementToTheLastMessage) {
  block().Store(&ControlBlock::linkId, 77);
  Attach();
  Buffer();
  const controller::EndpointLog connected = controller_->Log();
  ASSERT_EQ(connected.announcements.size(), 1u);
  const StreamAnnouncement& announced = connected.announcements[0].record;
  EXPECT_EQ(announced.format.wFormatTag, 1);
  EXPECT_EQ(announced.format.nChannels, 2);
  EXPECT_EQ(announced.format.nSamplesPerSec, 44100u);
  EXPECT_EQ(announced.format.nBlockAlign, 4);
  EXPECT_EQ(announced.format.nAvgBytesPerSec, 176400u);
  EXPECT_EQ(announced.format.wBitsPerSample, 16);
  EXPECT_EQ(announced.newStream, 1);
  EXPECT_EQ(std::string(announced.hostPath), platform::ExecutablePath(259));
  EXPECT_EQ(connected.announcements[0].hostProcessId, platform::CurrentProcessId());
  EXPECT_TRUE(connected.posts.empty()) << "connecting publishes nothing";

  PrepareStart(Succeeding(), ZEL5ENC_TEST_LIBRARY);
  Command(ZEL5_COMMAND_START);
  BufferAndPump();
  std::vector<controller::PostedMessage> posts = Posts(1);
  ASSERT_EQ(posts.size(), 1u);
  const ControlBlock& started = posts[0].block;
  EXPECT_EQ(posts[0].message, MSG_BLOCK_UPDATED);
  EXPECT_EQ(posts[0].lParam, static_cast<std::intptr_t>(block().Address()));
  EXPECT_EQ(started.state, ZEL5_STATE_RECORDING);
  EXPECT_EQ(started.updated, 1);
  EXPECT_EQ(started.command, 0);
  EXPECT_STREQ(started.outputFile, (output_ / "take.tst").string().c_str());
  EXPECT_STREQ(started.encoderName, "Test encoder");
  EXPECT_GE(started.startTime.wYear, 2026);

  // Blocks 1 to 6 are fed; the pumps write what the mixer gives.
  for (int i = 1; i <= 5; ++i) {
    SetBlock(i);
    Buffer();
  }
  SetBlock(6);
  BufferAndPump();
  posts = Posts(2);
  const ControlBlock& pumped = posts[1].block;
  EXPECT_EQ(pumped.counterA, 6u * 441u);
  EXPECT_EQ(pumped.counterB, 6u * 441u * 4u);

  // The stop writes what the rings still hold before the encoder closes.
  SetBlock(7);
  Buffer();
  Command(ZEL5_COMMAND_STOP);
  SetBlock(8);
  BufferAndPump();
  posts = PostsUntilClosed();
  ASSERT_EQ(posts.size(), 4u);
  const ControlBlock& stopped = posts[2].block;
  EXPECT_EQ(posts[2].message, MSG_BLOCK_UPDATED);
  EXPECT_EQ(stopped.state, ZEL5_STATE_STOPPED);
  EXPECT_EQ(stopped.counterA, 8u * 441u);
  EXPECT_GE(stopped.stopTime.wYear, 2026);
  EXPECT_EQ(posts[3].message, MSG_LINK_CLOSED);
  EXPECT_EQ(posts[3].wParam, 77u);

  EXPECT_EQ(FileBytes(output_ / "take.tst"), ConvertedBlocks(1, 8));
  EXPECT_THAT(CallLog(), ::testing::IsSupersetOf({"Close", "DestroyEncoder provider=0", "Unload"}));
  EXPECT_EQ(CallLog().back(), "Unload") << "the library is freed last";
}

TEST_F(RecordingRoad, AStreamAnnouncedAgainAfterAReconnectIsNotNew) {
  Attach();
  Buffer();
  module_->OnStreamClosed(stream_);  // the idle link ends
  PostsUntilClosed();
  Buffer();
  const controller::EndpointLog log = controller_->Log();
  ASSERT_EQ(log.announcements.size(), 2u);
  EXPECT_EQ(log.announcements[0].record.newStream, 1);
  EXPECT_EQ(log.announcements[1].record.newStream, 0);
}

TEST_F(RecordingRoad, ACommandWaitingAtConnectRunsInsideTheConnect) {
  PrepareStart(Succeeding(), ZEL5ENC_TEST_LIBRARY);
  Command(ZEL5_COMMAND_START);
  Attach();
  Buffer();
  const std::vector<controller::PostedMessage> posts = Posts(1);
  EXPECT_EQ(posts[0].block.state, ZEL5_STATE_RECORDING);
}

}  // namespace
}  // namespace zel5::test
