// A window of this process: what its procedure sees, in which order, when
// its loop runs and stops, what bad connections do to it, and how it finds
// a name.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <limits>
#include <mutex>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

#include "platform/message_window.h"
#include "platform/posix/window_socket.h"
#include "platform/process.h"
#include "platform/window_messages.h"
#include "transport/peer_protocol.h"
#include "transport/raw_connection.h"
#include "transport/scratch_runtime.h"
#include "transport/window_on_thread.h"
#include "zel5/control_protocol.h"

namespace zel5::transport::testing {
namespace {

using Call = std::tuple<std::uint32_t, std::uintptr_t, std::intptr_t>;

// Every call the procedure got, in order; answered with Echo.
class CallLog {
 public:
  platform::WindowProcedure Procedure() {
    return [this](std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) {
      const std::lock_guard<std::mutex> lock(mutex_);
      calls_.emplace_back(message, wParam, lParam);
      return Echo(message, wParam, lParam);
    };
  }
  std::vector<Call> Calls() const {
    const std::lock_guard<std::mutex> lock(mutex_);
    return calls_;
  }

 private:
  mutable std::mutex mutex_;
  std::vector<Call> calls_;
};

// Long enough that only a fault runs it out, for sends that must be answered
// while the window catches up.
constexpr std::uint32_t kPatientMs = 20000;

std::uintptr_t Send(WindowHandle window, std::uint32_t message, std::uintptr_t wParam = 0,
                    std::intptr_t lParam = 0) {
  return platform::SendWindowMessage(window, message, wParam, lParam, kPatientMs);
}

std::size_t SocketFiles(const std::filesystem::path& directory) {
  std::size_t count = 0;
  for (const auto& entry : std::filesystem::directory_iterator(directory)) {
    count += entry.path().filename().string().starts_with("msgwin-") ? 1 : 0;
  }
  return count;
}

class MessageWindowTest : public ::testing::Test {
 protected:
  ScratchRuntime runtime_;
  CallLog log_;
};

TEST_F(MessageWindowTest, HandlesAreNonNullAndDistinct) {
  WindowOnThread first(log_.Procedure());
  WindowOnThread second(log_.Procedure());
  ASSERT_TRUE(first.Made());
  ASSERT_TRUE(second.Made());
  EXPECT_NE(first.Handle(), nullptr);
  EXPECT_NE(first.Handle(), second.Handle());
  EXPECT_TRUE(platform::IsLiveWindow(first.Handle()));
  EXPECT_TRUE(platform::IsLiveWindow(second.Handle()));
}

class SentArguments : public MessageWindowTest, public ::testing::WithParamInterface<Call> {};

TEST_P(SentArguments, ReachTheProcedureWhoseResultIsTheReply) {
  const auto [message, wParam, lParam] = GetParam();
  WindowOnThread window(log_.Procedure());
  ASSERT_TRUE(window.Made());
  EXPECT_EQ(platform::SendWindowMessage(window.Handle(), message, wParam, lParam,
                                        platform::kSendTimeoutMs),
            Echo(message, wParam, lParam));
  EXPECT_EQ(log_.Calls(), std::vector<Call>{GetParam()});
}

INSTANTIATE_TEST_SUITE_P(
    Table, SentArguments,
    ::testing::Values(Call{0, 0, 0}, Call{MSG_QUERY_PROCESS, 0, 0},
                      Call{MSG_ANNOUNCE, 4242, 0x7fff1000},
                      Call{0xffffffffu, std::numeric_limits<std::uintptr_t>::max(),
                           std::numeric_limits<std::intptr_t>::min()},
                      Call{kEcho, 1, -1}, Call{kEcho, 0x123456789abcdefull, 0x0fedcba987654321ll}));

TEST_F(MessageWindowTest, ThousandPostsReachTheProcedureInOrder) {
  WindowOnThread window(log_.Procedure());
  ASSERT_TRUE(window.Made());
  std::vector<Call> expected;
  for (std::uintptr_t i = 0; i < 1000; ++i) {
    platform::PostWindowMessage(window.Handle(), MSG_BLOCK_UPDATED, i,
                                -static_cast<std::intptr_t>(i));
    expected.emplace_back(MSG_BLOCK_UPDATED, i, -static_cast<std::intptr_t>(i));
  }
  // Messages are handled in order of arrival, so the answer to this one
  // comes after every post.
  ASSERT_NE(Send(window.Handle(), kEcho), 0u);
  expected.emplace_back(kEcho, 0, 0);
  EXPECT_EQ(log_.Calls(), expected);
}

TEST_F(MessageWindowTest, SentAndPostedMessagesKeepOneOrder) {
  WindowOnThread window(log_.Procedure());
  ASSERT_TRUE(window.Made());
  std::vector<Call> expected;
  for (std::uintptr_t i = 0; i < 50; ++i) {
    platform::PostWindowMessage(window.Handle(), MSG_BLOCK_UPDATED, i, 0);
    platform::PostWindowMessage(window.Handle(), MSG_LINK_CLOSED, i, 0);
    ASSERT_EQ(Send(window.Handle(), kEcho, i), Echo(kEcho, i, 0));
    expected.insert(expected.end(), {Call{MSG_BLOCK_UPDATED, i, 0}, Call{MSG_LINK_CLOSED, i, 0},
                                     Call{kEcho, i, 0}});
  }
  EXPECT_EQ(log_.Calls(), expected);
}

TEST_F(MessageWindowTest, SenderProcessIdNamesTheSender) {
  platform::MessageWindow* self = nullptr;
  WindowOnThread window([&](std::uint32_t, std::uintptr_t, std::intptr_t) -> std::uintptr_t {
    return self->SenderProcessId();
  });
  ASSERT_TRUE(window.Made());
  self = &window.Window();
  EXPECT_EQ(Send(window.Handle(), kWhoSent), platform::CurrentProcessId());
}

TEST_F(MessageWindowTest, StopFromTheProcedureEndsRunAndLaterMessagesWait) {
  std::unique_ptr<platform::MessageWindow> window;
  std::vector<std::uint32_t> handled;
  window = platform::MessageWindow::Create(
      [&](std::uint32_t message, std::uintptr_t, std::intptr_t) -> std::uintptr_t {
        handled.push_back(message);
        if (message == kQuit) {
          window->Stop();
        }
        return 1;
      });
  ASSERT_NE(window, nullptr);
  platform::PostWindowMessage(window->Handle(), kQuit, 0, 0);
  platform::PostWindowMessage(window->Handle(), kEcho, 0, 0);
  window->Run();
  EXPECT_EQ(handled, std::vector<std::uint32_t>{kQuit});

  // The post after the stop waited in the queue for the next Run.
  platform::PostWindowMessage(window->Handle(), kQuit, 0, 0);
  window->Run();
  EXPECT_EQ(handled, (std::vector<std::uint32_t>{kQuit, kEcho, kQuit}));
}

TEST_F(MessageWindowTest, StopBeforeRunMakesRunReturnAtOnce) {
  auto window = platform::MessageWindow::Create(log_.Procedure());
  ASSERT_NE(window, nullptr);
  window->Stop();
  window->Run();
  EXPECT_TRUE(log_.Calls().empty());
}

TEST_F(MessageWindowTest, ADestroyedWindowIsGoneWithItsSocketFile) {
  WindowOnThread window(log_.Procedure());
  ASSERT_TRUE(window.Made());
  const WindowHandle handle = window.Handle();
  EXPECT_EQ(SocketFiles(runtime_.Directory()), 1u);
  window.Close();
  EXPECT_EQ(SocketFiles(runtime_.Directory()), 0u);
  EXPECT_FALSE(platform::IsLiveWindow(handle));
  EXPECT_EQ(Send(handle, kEcho), 0u);
  platform::PostWindowMessage(handle, kEcho, 0, 0);
}

TEST_F(MessageWindowTest, HandlesOfNoWindowAreNotLive) {
  for (const std::uintptr_t value :
       {std::uintptr_t{0}, std::uintptr_t{1}, std::numeric_limits<std::uintptr_t>::max()}) {
    const auto handle = reinterpret_cast<WindowHandle>(value);
    EXPECT_FALSE(platform::IsLiveWindow(handle)) << value;
    EXPECT_EQ(Send(handle, kEcho), 0u) << value;
    platform::PostWindowMessage(handle, kEcho, 0, 0);
  }
}

platform::window_socket::Request RequestOf(std::uint32_t delivery) {
  return {delivery, kEcho, 7, 8};
}

struct BadInput {
  const char* name;
  std::vector<unsigned char> bytes;
};

std::vector<unsigned char> Bytes(const platform::window_socket::Request& request) {
  const auto* begin = reinterpret_cast<const unsigned char*>(&request);
  return {begin, begin + sizeof(request)};
}

class BadConnection : public MessageWindowTest, public ::testing::WithParamInterface<BadInput> {};

TEST_P(BadConnection, IsDroppedAndTheWindowGoesOn) {
  WindowOnThread window(log_.Procedure());
  ASSERT_TRUE(window.Made());
  RawConnection raw(window.Handle());
  ASSERT_TRUE(raw.Connected());
  const std::vector<unsigned char>& bytes = GetParam().bytes;
  ASSERT_TRUE(bytes.empty() || raw.Write(bytes.data(), bytes.size()));
  raw.Close();
  EXPECT_EQ(Send(window.Handle(), kEcho, 1, 2), Echo(kEcho, 1, 2));
  EXPECT_EQ(log_.Calls(), std::vector<Call>{Call(kEcho, 1, 2)});
}

INSTANTIATE_TEST_SUITE_P(Table, BadConnection,
                         ::testing::Values(BadInput{"Nothing", {}},
                                           BadInput{"Partial", {1, 0, 0, 0, 0x01, 0x80}},
                                           BadInput{"NoDelivery", Bytes(RequestOf(0))},
                                           BadInput{"UnknownDelivery", Bytes(RequestOf(99))}),
                         [](const ::testing::TestParamInfo<BadInput>& info) {
                           return std::string(info.param.name);
                         });

TEST_F(MessageWindowTest, BytesAfterTheRequestAreIgnored) {
  WindowOnThread window(log_.Procedure());
  ASSERT_TRUE(window.Made());
  RawConnection raw(window.Handle());
  std::vector<unsigned char> bytes = Bytes(RequestOf(2));
  bytes.insert(bytes.end(), 40, 0xee);
  ASSERT_TRUE(raw.Write(bytes.data(), bytes.size()));
  raw.Close();
  EXPECT_EQ(Send(window.Handle(), kEcho, 1, 2), Echo(kEcho, 1, 2));
  EXPECT_EQ(log_.Calls(), (std::vector<Call>{Call(kEcho, 7, 8), Call(kEcho, 1, 2)}));
}

TEST_F(MessageWindowTest, ASilentConnectionDoesNotHoldUpTheWindow) {
  WindowOnThread window(log_.Procedure());
  ASSERT_TRUE(window.Made());
  RawConnection silent(window.Handle());
  ASSERT_TRUE(silent.Connected());
  EXPECT_EQ(Send(window.Handle(), kEcho, 3, 4), Echo(kEcho, 3, 4));
}

TEST_F(MessageWindowTest, ASocketLeftBehindAtTheNextNameIsTakenOver) {
  WindowOnThread before(log_.Procedure());
  ASSERT_TRUE(before.Made());
  const WindowHandle next = FollowingHandle(before.Handle());
  ASSERT_TRUE(SocketAtName(next, false).Bound());
  ASSERT_FALSE(platform::IsLiveWindow(next));

  WindowOnThread window(log_.Procedure());
  ASSERT_TRUE(window.Made());
  EXPECT_EQ(window.Handle(), next);
  EXPECT_EQ(Send(next, kEcho, 5, 6), Echo(kEcho, 5, 6));
}

TEST_F(MessageWindowTest, ALiveSocketAtTheNextNameIsLeftAlone) {
  WindowOnThread before(log_.Procedure());
  ASSERT_TRUE(before.Made());
  const WindowHandle next = FollowingHandle(before.Handle());
  const SocketAtName taken(next, true);
  ASSERT_TRUE(taken.Bound());

  WindowOnThread window(log_.Procedure());
  ASSERT_TRUE(window.Made());
  EXPECT_NE(window.Handle(), next);
  EXPECT_TRUE(platform::IsLiveWindow(next));
  EXPECT_EQ(Send(window.Handle(), kEcho, 5, 6), Echo(kEcho, 5, 6));
}

TEST_F(MessageWindowTest, NoProcedureMakesNoWindow) {
  EXPECT_EQ(platform::MessageWindow::Create(nullptr), nullptr);
}

class UnusableRuntime : public MessageWindowTest,
                        public ::testing::WithParamInterface<const char*> {};

TEST_P(UnusableRuntime, MakesNoWindow) {
  const std::filesystem::path scratch = runtime_.Directory().parent_path();
  const std::string which = GetParam();
  if (which == "file") {
    std::ofstream(scratch / "plain-file") << "x";
    runtime_.PointAt(scratch / "plain-file");
  } else {
    // Longer than a socket address can hold.
    const std::filesystem::path deep = scratch / std::string(120, 'd');
    std::filesystem::create_directories(deep);
    runtime_.PointAt(deep);
  }
  EXPECT_EQ(platform::MessageWindow::Create(log_.Procedure()), nullptr);
}

INSTANTIATE_TEST_SUITE_P(Table, UnusableRuntime, ::testing::Values("file", "long"));

}  // namespace
}  // namespace zel5::transport::testing
