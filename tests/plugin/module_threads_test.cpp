// Host threads calling the module at once: a buffer never waits behind
// another thread's link steps, and buffers, closes and commands on several
// threads keep the module sound (run under the thread sanitizer too).
#include <gtest/gtest.h>

#include <atomic>
#include <future>
#include <thread>
#include <vector>

#include "plugin/module_fixture.h"
#include "support/fake_host_stream.h"

namespace zel5::test {
namespace {

using BusyLink = ModuleFixture;

// If a buffer call waited for the blocked thread, these tests would hang
// (and be ended by the test runner's time limit).
TEST_F(BusyLink, ABufferSkipsTheLinkStepsWhileAnotherThreadConnects) {
  std::promise<void> entered, release;
  std::shared_future<void> released = release.get_future().share();
  std::atomic<bool> first{true};
  Attach([&](FakeRecorderLink& link) {
    link.linkUp = false;
    link.onConnect = [&] {
      if (first.exchange(false)) {
        entered.set_value();
        released.wait();
      }
    };
  });
  FakeHostStream slow(1, 44100, 2), other(2, 44100, 2);
  std::thread connecting([&] { module_->ProcessBuffer(slow); });
  entered.get_future().wait();
  tick_ = 100000;
  module_->ProcessBuffer(other);
  EXPECT_EQ(log_->connects, 1) << "the second buffer skipped its connect attempt";
  EXPECT_EQ(log_->pumps, 0) << "and its pump";
  release.set_value();
  connecting.join();
}

TEST_F(BusyLink, ABufferStillFeedsTheRecordingWhileAnotherThreadPumps) {
  std::promise<void> entered, release;
  std::shared_future<void> released = release.get_future().share();
  Attach([&](FakeRecorderLink& link) {
    link.onPump = [&](FakeRecorderLink&) {
      entered.set_value();
      released.wait();
    };
  });
  FakeHostStream pumping(1, 44100, 2), feeding(2, 44100, 2);
  pumping.SetBlock(std::vector<double>(441, 0.1), std::vector<double>(441, 0.1));
  feeding.SetBlock(std::vector<double>(441, 0.2), std::vector<double>(441, 0.2));
  tick_ = 1000;
  std::thread first([&] { module_->ProcessBuffer(pumping); });
  entered.get_future().wait();
  module_->ProcessBuffer(feeding);
  EXPECT_EQ(feeding.samplesAsked(), 1) << "its block reached the mixer";
  release.set_value();
  first.join();
  EXPECT_EQ(link_->Mixer()->StreamCount(), 2u);
}

// Streams on their own threads, closing and reopening under new ids, while
// pumps cycle the recorder through its states and end and remake the link.
TEST(ModuleThreads, BuffersClosesAndCommandsOnSeveralThreadsStaySound) {
  FakeHostConfiguration host;
  std::atomic<std::uint32_t> clock{0};
  auto log = std::make_shared<LinkLog>();
  int pumpStep = 0;  // touched only by pumps, under the module's link lock
  PluginModule module(ModuleDependencies{
      .getConfiguration = [&] { return &host; },
      .tickCount = [&] { return clock.fetch_add(37); },
      .makeLink = [&](PluginWindowService&) -> std::unique_ptr<RecorderLink> {
        auto link = std::make_unique<FakeRecorderLink>(log);
        link->onPump = [&pumpStep](FakeRecorderLink& self) {
          switch (pumpStep++ % 4) {
            case 0:
              self.SetState(ZEL5_STATE_PAUSED);
              break;
            case 1:
              self.SetState(ZEL5_STATE_RECORDING);
              break;
            case 2:
              if (const auto mixer = self.Mixer()) {
                std::uint32_t bytes = 0;
                mixer->Mix(bytes);
              }
              break;
            default:
              self.StopRecording();
          }
        };
        return link;
      },
      .buildDate = __DATE__,
  });

  constexpr int kThreads = 4;
  constexpr int kBuffers = 400;
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&module, t] {
      const std::uint32_t rates[] = {44100, 22050, 48000, 8000};
      std::uint32_t id = static_cast<std::uint32_t>(t) * 1000;
      auto stream = std::make_unique<FakeHostStream>(id, rates[t], 1 + t % 2);
      for (int i = 0; i < kBuffers; ++i) {
        stream->SetBlock(std::vector<double>(rates[t] / 100, 0.1 * t),
                         t % 2 ? std::vector<double>(rates[t] / 100, -0.1) : std::vector<double>{});
        module.filter()->GetFlags();
        static_cast<RecordFilter*>(module.filter())->ProcessBuffer(stream.get());
        if (i % 50 == 49) {
          module.filter()->OnStreamClosed(0, stream.get());
          stream = std::make_unique<FakeHostStream>(++id, rates[t], 1 + t % 2);
        }
      }
      module.filter()->OnStreamClosed(0, stream.get());
    });
  }
  for (std::thread& thread : threads) {
    thread.join();
  }
  EXPECT_GT(log->connects, 0);
  EXPECT_GT(log->pumps, 0);
}

}  // namespace
}  // namespace zel5::test
