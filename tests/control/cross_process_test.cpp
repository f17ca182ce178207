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

#include "control/controller_link.h"
#include "plugin/plugin_module.h"
#include "support/fake_host_configuration.h"
#include "support/fake_host_stream.h"
#include "transport/peer_process.h"
#include "transport/scratch_runtime.h"

namespace zel5::test {
namespace {

using ::testing::Contains;
using ::testing::IsSupersetOf;
using transport::testing::PeerProcess;

const std::string kRecording =
    "post " + std::to_string(MSG_BLOCK_UPDATED) + " 0 " + std::to_string(ZEL5_STATE_RECORDING);

class CrossProcess : public ::testing::Test {
 protected:
  void SetUp() override {
    output_ = runtime_.Directory().parent_path() / "out";
    std::filesystem::create_directories(output_);
    log_ = (output_ / "calls.log").string();
    module_ = std::make_unique<PluginModule>(ModuleDependencies{
        .getConfiguration = [this] { return &host_; },
        .tickCount = [this] { return tick_.load(); },
        .makeLink = [](PluginWindowService& windows) -> std::unique_ptr<RecorderLink> {
          return std::make_unique<ControllerLink>(windows);
        },
        .buildDate = __DATE__,
    });
  }
  void TearDown() override { module_.reset(); }

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

  void SetBlock(int i) {
    std::vector<double> left(441), right(441);
    for (std::size_t k = 0; k < left.size(); ++k) {
      left[k] = 0.001 * (i + 1) + 0.00001 * static_cast<double>(k);
      right[k] = -0.002 * (i + 1);
    }
    stream_.SetBlock(left, right);
  }
  void Buffer() { module_->ProcessBuffer(stream_); }
  void BufferAndPump() {
    tick_ += 501;
    module_->ProcessBuffer(stream_);
  }

  std::vector<std::string> CallLog() const {
    std::ifstream in(log_);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) {
      lines.push_back(line);
    }
    return lines;
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

  transport::testing::ScratchRuntime runtime_;
  std::filesystem::path output_;
  std::string log_;
  FakeHostConfiguration host_;
  std::atomic<std::uint32_t> tick_{0};
  FakeHostStream stream_{1, 44100, 2};
  std::unique_ptr<PluginModule> module_;
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
