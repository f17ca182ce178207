// The controller's end of the link, driven the way the plug-in drives it:
// found through the configuration library, asked for its process, announced
// to, its block read and written, and told of publishes and the end.
#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <tuple>

#include "link/controller_endpoint.h"
#include "platform/process.h"
#include "platform/process_memory.h"
#include "platform/window_messages.h"
#include "transport/peer_process.h"
#include "transport/scratch_runtime.h"
#include "zel5/host_configuration.h"
#include "zel5/plugin_ids.h"

namespace zel5::transport::testing {
namespace {

using controller::ControllerEndpoint;
using controller::EndpointLog;

WindowHandle FoundByPlugin() {
  return GetConfiguration()->GetPluginWindowService()->FindPluginWindow(ZEL5_PLUGIN_ID);
}

StreamAnnouncement MakeAnnouncement(std::uint16_t channels, std::uint32_t rate, std::uint16_t bits,
                                    const char* hostPath) {
  StreamAnnouncement announcement{};
  announcement.format.wFormatTag = 1;
  announcement.format.nChannels = channels;
  announcement.format.nSamplesPerSec = rate;
  announcement.format.wBitsPerSample = bits;
  announcement.format.nBlockAlign = static_cast<std::uint16_t>(channels * bits / 8);
  announcement.format.nAvgBytesPerSec = announcement.format.nBlockAlign * rate;
  announcement.newStream = 1;
  std::strncpy(announcement.hostPath, hostPath, ZEL5_TEXT_FIELD - 1);
  return announcement;
}

std::intptr_t AddressOf(const void* object) {
  return reinterpret_cast<std::intptr_t>(object);
}

class Endpoint : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_NE(endpoint_, nullptr); }

  std::uintptr_t Send(std::uint32_t message, std::uintptr_t wParam = 0, std::intptr_t lParam = 0) {
    return platform::SendWindowMessage(endpoint_->Window(), message, wParam, lParam,
                                       platform::kSendTimeoutMs);
  }
  std::uintptr_t Announce(const StreamAnnouncement& announcement) {
    return Send(MSG_ANNOUNCE, platform::CurrentProcessId(), AddressOf(&announcement));
  }

  ScratchRuntime runtime_;
  std::unique_ptr<ControllerEndpoint> endpoint_ = ControllerEndpoint::Create();
};

TEST_F(Endpoint, RegistersItsWindowForThePluginUntilItGoes) {
  const WindowHandle window = endpoint_->Window();
  EXPECT_EQ(FoundByPlugin(), window);
  EXPECT_TRUE(platform::IsLiveWindow(window));
  endpoint_.reset();
  EXPECT_EQ(FoundByPlugin(), nullptr);
  EXPECT_FALSE(platform::IsLiveWindow(window));
}

TEST_F(Endpoint, LeavesANewerControllersRegistrationAlone) {
  void* newer = reinterpret_cast<void*>(std::uintptr_t{0x1234});
  ASSERT_EQ(Zel5RegisterPluginWindow(ZEL5_PLUGIN_ID, newer), ZEL5_CONF_OK);
  endpoint_.reset();
  EXPECT_EQ(FoundByPlugin(), newer);
}

TEST_F(Endpoint, AnswersTheProcessQueryWithItsProcess) {
  EXPECT_EQ(Send(MSG_QUERY_PROCESS), platform::CurrentProcessId());
}

class Announced : public Endpoint, public ::testing::WithParamInterface<StreamAnnouncement> {};

TEST_P(Announced, StreamIsReadFromTheHostAndAnsweredWithTheBlock) {
  const StreamAnnouncement announcement = GetParam();
  EXPECT_EQ(Announce(announcement), endpoint_->Block().Address());
  const EndpointLog log = endpoint_->Log();
  ASSERT_EQ(log.announcements.size(), 1u);
  EXPECT_EQ(log.announcements[0].hostProcessId, platform::CurrentProcessId());
  EXPECT_EQ(std::memcmp(&log.announcements[0].record, &announcement, sizeof(announcement)), 0);
}

INSTANTIATE_TEST_SUITE_P(Table, Announced,
                         ::testing::Values(MakeAnnouncement(2, 44100, 16, "/usr/bin/host"),
                                           MakeAnnouncement(1, 11025, 8, ""),
                                           MakeAnnouncement(1, 22050, 12,
                                                            std::string(259, 'p').c_str())));

TEST_F(Endpoint, ARefusingEndpointKeepsTheAnnouncementAndAnswersZero) {
  endpoint_->SetRefusing(true);
  const StreamAnnouncement announcement = MakeAnnouncement(2, 48000, 16, "host");
  EXPECT_EQ(Announce(announcement), 0u);
  EXPECT_EQ(endpoint_->Log().announcements.size(), 1u);
  endpoint_->SetRefusing(false);
  EXPECT_EQ(Announce(announcement), endpoint_->Block().Address());
}

using BadAnnouncement = std::tuple<std::uintptr_t, std::intptr_t>;

class UnreadableAnnouncement : public Endpoint,
                               public ::testing::WithParamInterface<BadAnnouncement> {};

TEST_P(UnreadableAnnouncement, IsRefusedAndNotKept) {
  static const StreamAnnouncement valid = MakeAnnouncement(2, 44100, 16, "host");
  const auto [wParam, lParam] = GetParam();
  const std::uintptr_t host = wParam == 1 ? platform::CurrentProcessId() : wParam;
  const std::intptr_t address = lParam == 1 ? AddressOf(&valid) : lParam;
  EXPECT_EQ(Send(MSG_ANNOUNCE, host, address), 0u);
  EXPECT_TRUE(endpoint_->Log().announcements.empty());
}

// 1 stands for this process (wParam) and a valid announcement (lParam).
INSTANTIATE_TEST_SUITE_P(Table, UnreadableAnnouncement,
                         ::testing::Values(BadAnnouncement{1, 0}, BadAnnouncement{1, -1},
                                           BadAnnouncement{1, 0x1000}, BadAnnouncement{0, 1},
                                           BadAnnouncement{0x7fffffff, 1},
                                           BadAnnouncement{std::uintptr_t{1} << 40, 1}));

TEST_F(Endpoint, TheHostReadsAndWritesTheBlockThroughTheProcess) {
  endpoint_->Block().Store(&ControlBlock::linkId, 55);
  endpoint_->Block().Store(&ControlBlock::command, ZEL5_COMMAND_START);
  const auto controller =
      platform::ProcessHandle::Open(static_cast<std::uint32_t>(Send(MSG_QUERY_PROCESS)));
  ASSERT_NE(controller, nullptr);
  const StreamAnnouncement announcement = MakeAnnouncement(2, 44100, 16, "host");
  const std::uintptr_t address = Announce(announcement);

  ControlBlock block{};
  ASSERT_EQ(controller->Read(address, &block, sizeof(block)), sizeof(block));
  EXPECT_EQ(block.linkId, 55);
  EXPECT_EQ(block.command, ZEL5_COMMAND_START);

  const std::int32_t cleared = 0;
  ASSERT_EQ(controller->Write(address + offsetof(ControlBlock, command), &cleared, 4), 4u);
  EXPECT_EQ(endpoint_->Block().Load(&ControlBlock::command), 0);
  EXPECT_EQ(endpoint_->Block().Load(&ControlBlock::linkId), 55);
}

TEST_F(Endpoint, PostsAreKeptWithTheBlockAsItWasOnArrival) {
  const auto controller = platform::ProcessHandle::Open(platform::CurrentProcessId());
  const std::uintptr_t address = endpoint_->Block().Address();
  ControlBlock copy = endpoint_->Block().Snapshot();
  copy.updated = 1;
  copy.state = ZEL5_STATE_RECORDING;
  copy.counterA = 42;
  ASSERT_EQ(controller->Write(address, &copy, sizeof(copy)), sizeof(copy));
  platform::PostWindowMessage(endpoint_->Window(), MSG_BLOCK_UPDATED, 0, AddressOf(&copy));
  ASSERT_TRUE(endpoint_->WaitFor([](const EndpointLog& log) { return log.posts.size() == 1; }));

  copy.state = ZEL5_STATE_STOPPED;
  ASSERT_EQ(controller->Write(address, &copy, sizeof(copy)), sizeof(copy));
  platform::PostWindowMessage(endpoint_->Window(), MSG_LINK_CLOSED, 77,
                              static_cast<std::intptr_t>(address));
  ASSERT_TRUE(endpoint_->WaitFor([](const EndpointLog& log) { return log.posts.size() == 2; }));

  const EndpointLog log = endpoint_->Log();
  EXPECT_EQ(log.posts[0].message, static_cast<std::uint32_t>(MSG_BLOCK_UPDATED));
  EXPECT_EQ(log.posts[0].wParam, 0u);
  EXPECT_EQ(log.posts[0].block.state, ZEL5_STATE_RECORDING);
  EXPECT_EQ(log.posts[0].block.counterA, 42u);
  EXPECT_EQ(log.posts[1].message, static_cast<std::uint32_t>(MSG_LINK_CLOSED));
  EXPECT_EQ(log.posts[1].wParam, 77u);
  EXPECT_EQ(log.posts[1].lParam, static_cast<std::intptr_t>(address));
  EXPECT_EQ(log.posts[1].block.state, ZEL5_STATE_STOPPED);
}

TEST_F(Endpoint, OtherMessagesAreAnsweredWithZeroAndNotKept) {
  EXPECT_EQ(Send(1234, 1, 2), 0u);
  platform::PostWindowMessage(endpoint_->Window(), 9999, 1, 2);
  platform::PostWindowMessage(endpoint_->Window(), MSG_BLOCK_UPDATED, 3, 4);
  ASSERT_TRUE(endpoint_->WaitFor([](const EndpointLog& log) { return !log.posts.empty(); }));
  const EndpointLog log = endpoint_->Log();
  ASSERT_EQ(log.posts.size(), 1u);
  EXPECT_EQ(log.posts[0].message, static_cast<std::uint32_t>(MSG_BLOCK_UPDATED));
  EXPECT_TRUE(log.announcements.empty());
}

TEST_F(Endpoint, AHungEndpointTimesOutAndCatchesUpInOrder) {
  endpoint_->SetHung(true);
  EXPECT_EQ(Send(MSG_QUERY_PROCESS), 0u);
  for (std::intptr_t i = 1; i <= 3; ++i) {
    platform::PostWindowMessage(endpoint_->Window(), MSG_BLOCK_UPDATED, 0, i);
  }
  const StreamAnnouncement announcement = MakeAnnouncement(2, 44100, 16, "host");
  EXPECT_EQ(Announce(announcement), 0u);
  endpoint_->SetHung(false);

  ASSERT_TRUE(endpoint_->WaitFor([](const EndpointLog& log) { return log.posts.size() == 3; }));
  const EndpointLog log = endpoint_->Log();
  for (std::size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(log.posts[i].lParam, static_cast<std::intptr_t>(i + 1));
  }
  EXPECT_EQ(Send(MSG_QUERY_PROCESS), platform::CurrentProcessId());
  // The announcement whose sender gave up was dropped, not served late.
  EXPECT_TRUE(endpoint_->Log().announcements.empty());
}

TEST_F(Endpoint, GoesWhileHung) {
  endpoint_->SetHung(true);
  platform::PostWindowMessage(endpoint_->Window(), MSG_BLOCK_UPDATED, 0, 0);
  endpoint_.reset();
  EXPECT_EQ(FoundByPlugin(), nullptr);
}

TEST(EndpointWithoutRuntime, IsNotMade) {
  ScratchRuntime runtime;
  runtime.PointAt(runtime.Directory().parent_path() / "missing" / "deeper");
  EXPECT_EQ(ControllerEndpoint::Create(), nullptr);
}

// The whole way of a link with the controller in another process, which
// reads the announcement out of this one.
TEST(EndpointInAnotherProcess, ServesTheLinkAndSeesWhatTheHostDid) {
  ScratchRuntime runtime;
  PeerProcess peer(PeerCommand({"controller", "77"}));
  const auto window = reinterpret_cast<WindowHandle>(
      static_cast<std::uintptr_t>(std::strtoull(peer.ReadLine().c_str(), nullptr, 16)));
  ASSERT_EQ(FoundByPlugin(), window);
  ASSERT_TRUE(platform::IsLiveWindow(window));

  const std::uintptr_t processId =
      platform::SendWindowMessage(window, MSG_QUERY_PROCESS, 0, 0, platform::kSendTimeoutMs);
  EXPECT_EQ(processId, peer.Id());
  const auto controller = platform::ProcessHandle::Open(static_cast<std::uint32_t>(processId));
  ASSERT_NE(controller, nullptr);

  const StreamAnnouncement announcement = MakeAnnouncement(2, 44100, 16, "/opt/host/bin/host");
  const std::uintptr_t address =
      platform::SendWindowMessage(window, MSG_ANNOUNCE, platform::CurrentProcessId(),
                                  AddressOf(&announcement), platform::kSendTimeoutMs);
  ASSERT_NE(address, 0u);

  ControlBlock block{};
  ASSERT_EQ(controller->Read(address, &block, sizeof(block)), sizeof(block));
  EXPECT_EQ(block.linkId, 77);
  EXPECT_STREQ(block.libraryPath, "peer-library");

  block.state = ZEL5_STATE_RECORDING;
  block.counterA = 9;
  ASSERT_EQ(controller->Write(address, &block, sizeof(block)), sizeof(block));
  platform::PostWindowMessage(window, MSG_BLOCK_UPDATED, 0, static_cast<std::intptr_t>(address));
  platform::PostWindowMessage(window, MSG_LINK_CLOSED, 77, static_cast<std::intptr_t>(address));

  EXPECT_EQ(peer.ReadLine(), "announce " + std::to_string(platform::CurrentProcessId()) +
                                 " 2 44100 16 1 " + "/opt/host/bin/host");
  EXPECT_EQ(peer.ReadLine(), "post 1237 0 1 9");
  EXPECT_EQ(peer.ReadLine(), "post 1238 77 1 9");
  EXPECT_EQ(peer.Wait(), 0);
}

}  // namespace
}  // namespace zel5::transport::testing
