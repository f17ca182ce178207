// A controller that answers the announcement with an address the plug-in
// cannot read a whole control block from: the attempt ends, the controller
// is told with MSG_LINK_CLOSED and a link id of 0, and the next buffer tries
// again.
#include <gtest/gtest.h>

#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

#include "control/controller_link.h"
#include "platform/message_window.h"
#include "platform/process.h"
#include "support/fake_host_configuration.h"
#include "support/fake_host_stream.h"
#include "transport/scratch_runtime.h"

namespace zel5::test {
namespace {

// Nothing is mapped this low, so no byte of a block can be read there.
constexpr std::uintptr_t kUnreadableBlock = 64;

struct Closing {
  std::uintptr_t wParam;
  std::intptr_t lParam;
};

TEST(ConnectShortRead, ClosesTheAttemptWithLinkIdZero) {
  transport::testing::ScratchRuntime runtime;
  std::mutex mutex;
  std::condition_variable changed;
  std::vector<Closing> closings;
  auto window = platform::MessageWindow::Create(
      [&](std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) -> std::uintptr_t {
        switch (message) {
          case MSG_QUERY_PROCESS:
            return platform::CurrentProcessId();
          case MSG_ANNOUNCE:
            return kUnreadableBlock;
          case MSG_LINK_CLOSED: {
            std::lock_guard<std::mutex> hold(mutex);
            closings.push_back({wParam, lParam});
            changed.notify_all();
            return 0;
          }
          default:
            return 0;
        }
      });
  ASSERT_NE(window, nullptr);
  std::thread loop([&] { window->Run(); });

  FakeHostConfiguration host;
  host.windows.window = window->Handle();
  ControllerLink link(host.windows);
  FakeHostStream stream(1, 44100, 2);
  link.Connect(stream);
  EXPECT_FALSE(link.IsConnected());
  EXPECT_EQ(link.copy().state, 0);
  link.Connect(stream);
  {
    std::unique_lock<std::mutex> hold(mutex);
    ASSERT_TRUE(changed.wait_for(hold, std::chrono::seconds(20), [&] {
      return closings.size() == 2;
    })) << "every attempt is reported";
    EXPECT_EQ(closings[0].wParam, 0u);
    EXPECT_EQ(closings[0].lParam, static_cast<std::intptr_t>(kUnreadableBlock));
  }
  window->Stop();
  loop.join();
}

}  // namespace
}  // namespace zel5::test
