// The controller in another process, as it is in use: killed in the middle
// of a recording, or stopped while the plug-in tries to link up. The
// plug-in ends what it had, the host's calls go on, and a controller that
// comes back (or a new one) links up again.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "control/host_fixture.h"
#include "transport/peer_process.h"

namespace zel5::test {
namespace {

using ::testing::Contains;
using ::testing::IsSupersetOf;
using transport::testing::PeerProcess;

const std::string kRecording =
    "post " + std::to_string(MSG_BLOCK_UPDATED) + " 0 " + std::to_string(ZEL5_STATE_RECORDING);

class CrossProcess : public HostFixture {
 protected:
  void SetUp() override {
    HostFixture::SetUp();
    Attach();
  }

  // A controller asking for a recording into outputName, whose window the
  // host's lookup answers from now on. Started after the scratch runtime,
  // it registers there.
  void StartController(const std::string& outputName) {
    peer_ = std::make_unique<PeerProcess>(std::vector<std::string>{
        ZEL5_CONTROLLER_PEER, ZEL5ENC_TEST_LIBRARY, (output_ / outputName).string(), log_});
    const std::string ready = peer_->ReadLine();
    ASSERT_EQ(ready.rfind("ready ", 0), 0u) << ready;
    host_.windows.window =
        reinterpret_cast<WindowHandle>(std::strtoull(ready.c_str() + 6, nullptr, 16));
  }

  // What the encoder was handed in all, by its call log.
  std::uintmax_t BytesWritten() const {
    std::uintmax_t total = 0;
    for (const std::string& line : CallLog()) {
      if (line.rfind("WriteBlock bytes=", 0) == 0) {
        total += std::stoull(line.substr(17));
      }
    }
    return total;
  }

  std::unique_ptr<PeerProcess> peer_;
};

TEST_F(CrossProcess, AKilledControllerEndsTheRecordingAndANewOneStartsAnother) {
  ASSERT_NO_FATAL_FAILURE(StartController("take"));
  SetBlock(0);
  Buffer();
  ASSERT_EQ(peer_->ReadLine(), "announce 1");
  ASSERT_EQ(peer_->ReadLine(), kRecording);
  for (int i = 1; i <= 3; ++i) {
    SetBlock(i);
    Buffer();
  }
  BufferAndPump();
  ASSERT_EQ(peer_->ReadLine(), kRecording) << "the pump published";
  ASSERT_GT(BytesWritten(), 0u);

  peer_->Kill();
  SetBlock(4);
  BufferAndPump();  // the poll cannot read the block: the link ends
  const std::vector<std::string> ended = CallLog();
  EXPECT_THAT(ended, IsSupersetOf({"Close", "DestroyEncoder provider=0"}));
  EXPECT_EQ(ended.back(), "Unload") << "the library is freed last";
  EXPECT_EQ(std::filesystem::file_size(output_ / "take.tst"), BytesWritten());

  for (int i = 5; i <= 7; ++i) {  // no controller: the host goes on
    SetBlock(i);
    BufferAndPump();
  }
  EXPECT_EQ(CallLog(), ended) << "nothing links up to a dead controller";

  ASSERT_NO_FATAL_FAILURE(StartController("second"));
  Buffer();
  EXPECT_EQ(peer_->ReadLine(), "announce 0") << "the stream was announced before";
  EXPECT_EQ(peer_->ReadLine(), kRecording);
  EXPECT_THAT(CallLog(), Contains("Open path=" + (output_ / "second.tst").string()));
}

TEST_F(CrossProcess, AStoppedControllerIsGivenUpOnAndLinksUpOnceItGoesOn) {
  ASSERT_NO_FATAL_FAILURE(StartController("take"));
  peer_->Pause();
  Buffer();  // asks for the controller's process, which never answers
  Buffer();
  BufferAndPump();
  EXPECT_TRUE(CallLog().empty()) << "no recording started";

  peer_->Resume();
  Buffer();
  EXPECT_EQ(peer_->ReadLine(), "announce 1") << "the first announcement of the stream";
  EXPECT_EQ(peer_->ReadLine(), kRecording);
  EXPECT_THAT(CallLog(), Contains("Open path=" + (output_ / "take.tst").string()));
}

}  // namespace
}  // namespace zel5::test
