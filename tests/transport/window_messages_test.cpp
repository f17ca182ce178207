// Messages to a window of another process: answered, timed out against a
// stopped one, refused by a vanished one, and posted in order without ever
// waiting.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <tuple>

#include "platform/process.h"
#include "platform/window_messages.h"
#include "transport/peer_process.h"
#include "transport/peer_protocol.h"
#include "transport/scratch_runtime.h"

namespace zel5::transport::testing {
namespace {

// Long enough that only a fault runs it out, for sends that must be answered
// while the peer catches up.
constexpr std::uint32_t kPatientMs = 20000;
// Far beyond the 500 ms time-out: a send that takes this long waits for
// something other than its time-out.
constexpr auto kGuard = std::chrono::seconds(10);

WindowHandle ParseHandle(const std::string& line) {
  return reinterpret_cast<WindowHandle>(
      static_cast<std::uintptr_t>(std::strtoull(line.c_str(), nullptr, 16)));
}

bool HasSocketFile(const std::filesystem::path& directory) {
  for (const auto& entry : std::filesystem::directory_iterator(directory)) {
    if (entry.path().filename().string().starts_with("msgwin-")) {
      return true;
    }
  }
  return false;
}

class PeerWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    window_ = ParseHandle(peer_.ReadLine());
    ASSERT_NE(window_, nullptr);
  }

  std::uintptr_t Send(std::uint32_t message, std::uintptr_t wParam = 0, std::intptr_t lParam = 0,
                      std::uint32_t timeoutMs = platform::kSendTimeoutMs) {
    return platform::SendWindowMessage(window_, message, wParam, lParam, timeoutMs);
  }

  void PostSequence(std::uintptr_t count) {
    for (std::uintptr_t i = 0; i < count; ++i) {
      platform::PostWindowMessage(window_, kSequence, i, 0);
    }
  }

  ScratchRuntime runtime_;
  PeerProcess peer_{PeerCommand({"window"})};
  WindowHandle window_ = nullptr;
};

using Arguments = std::tuple<std::uintptr_t, std::intptr_t>;

class PeerEcho : public PeerWindow, public ::testing::WithParamInterface<Arguments> {};

TEST_P(PeerEcho, AnswersWithTheProcedureResult) {
  const auto [wParam, lParam] = GetParam();
  EXPECT_EQ(Send(kEcho, wParam, lParam), Echo(kEcho, wParam, lParam));
}

INSTANTIATE_TEST_SUITE_P(Table, PeerEcho,
                         ::testing::Values(Arguments{0, 0}, Arguments{1, -1},
                                           Arguments{~std::uintptr_t{0}, INTPTR_MIN},
                                           Arguments{0x7fff0000, 0x10000}));

TEST_F(PeerWindow, IsLiveAndSeesThisProcessAsTheSender) {
  EXPECT_TRUE(platform::IsLiveWindow(window_));
  EXPECT_EQ(Send(kWhoSent), platform::CurrentProcessId());
}

TEST_F(PeerWindow, ThousandPostsArriveInOrder) {
  PostSequence(1000);
  EXPECT_EQ(Send(kSequenceCount, 0, 0, kPatientMs), 1000u);
}

TEST_F(PeerWindow, AStoppedPeerTimesOutWithZeroAndStaysLive) {
  peer_.Pause();
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(Send(kEcho, 1, 2), 0u);
  EXPECT_LT(std::chrono::steady_clock::now() - start, kGuard);
  EXPECT_TRUE(platform::IsLiveWindow(window_));
  peer_.Resume();
  EXPECT_EQ(Send(kEcho, 1, 2, kPatientMs), Echo(kEcho, 1, 2));
}

TEST_F(PeerWindow, PostsToAStoppedPeerNeverWaitAndArriveInOrderLater) {
  peer_.Pause();
  // Each post returns at once; were one to wait for the peer, this loop
  // would never end while the peer is stopped.
  PostSequence(1000);
  peer_.Resume();
  EXPECT_EQ(Send(kSequenceCount, 0, 0, kPatientMs), 1000u);
}

TEST_F(PeerWindow, AStoppedPeerWithAFullQueueIsStillLiveAndGetsOnAfter) {
  peer_.Pause();
  // More than the kernel queues for one listening socket by default (4096):
  // the posts beyond the queue are dropped, without waiting.
  PostSequence(5000);
  EXPECT_TRUE(platform::IsLiveWindow(window_));
  EXPECT_EQ(Send(kEcho, 1, 2), 0u);
  peer_.Resume();
  const std::uintptr_t arrived = Send(kSequenceCount, 0, 0, kPatientMs);
  EXPECT_GT(arrived, 0u);
  EXPECT_LE(arrived, 5000u);
  EXPECT_EQ(Send(kEcho, 1, 2, kPatientMs), Echo(kEcho, 1, 2));
}

TEST_F(PeerWindow, ASendGivenUpOnIsNotHandledLater) {
  peer_.Pause();
  EXPECT_EQ(Send(kLate), 0u);
  peer_.Resume();
  EXPECT_EQ(Send(kLateCount, 0, 0, kPatientMs), 0u);
  EXPECT_EQ(Send(kLate, 0, 0, kPatientMs), 1u);
}

TEST_F(PeerWindow, AVanishedPeerLeavesADeadSocketFileBehind) {
  peer_.Kill();
  ASSERT_TRUE(HasSocketFile(runtime_.Directory()));
  EXPECT_FALSE(platform::IsLiveWindow(window_));
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(Send(kEcho, 1, 2), 0u);
  EXPECT_LT(std::chrono::steady_clock::now() - start, kGuard);
  platform::PostWindowMessage(window_, kSequence, 0, 0);
}

TEST_F(PeerWindow, APeerThatEndsTakesItsSocketFileAway) {
  EXPECT_EQ(Send(kQuit), 1u);
  EXPECT_EQ(peer_.Wait(), 0);
  EXPECT_FALSE(HasSocketFile(runtime_.Directory()));
  EXPECT_FALSE(platform::IsLiveWindow(window_));
}

}  // namespace
}  // namespace zel5::transport::testing
