// The OS services as the core relies on them.
#include <gtest/gtest.h>

#include <chrono>
#include <ctime>
#include <future>
#include <string>
#include <thread>

#include "platform/clock.h"
#include "platform/dynamic_library.h"
#include "platform/lock.h"
#include "platform/process.h"

namespace zel5::platform {
namespace {

TEST(PlatformLock, TryEnterFailsWhileAnotherThreadHoldsIt) {
  Lock lock;
  std::promise<void> held, release;
  std::thread holder([&] {
    ScopedLock hold(lock);
    held.set_value();
    release.get_future().wait();
  });
  held.get_future().wait();
  EXPECT_FALSE(lock.TryEnter());
  release.set_value();
  holder.join();
  ASSERT_TRUE(lock.TryEnter());
  lock.Leave();
}

TEST(PlatformClock, UtcTimeAgreesWithTheStandardClock) {
  const std::time_t now = std::time(nullptr);
  const Zel5SystemTime time = SystemTimeUtc();
  std::tm utc{};
  ASSERT_NE(gmtime_r(&now, &utc), nullptr);
  EXPECT_EQ(time.wYear, utc.tm_year + 1900);
  EXPECT_EQ(time.wMonth, utc.tm_mon + 1);
  EXPECT_GE(time.wMonth, 1);
  EXPECT_LE(time.wDay, 31);
  EXPECT_LE(time.wDayOfWeek, 6);
  EXPECT_LE(time.wMilliseconds, 999);
}

TEST(PlatformClock, TickCountMovesForward) {
  const std::uint32_t first = TickCount();
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  EXPECT_GE(static_cast<std::uint32_t>(TickCount() - first), 10u);
}

TEST(PlatformProcess, ExecutablePathNamesThisProgramAndIsCut) {
  const std::string path = ExecutablePath(259);
  ASSERT_FALSE(path.empty());
  EXPECT_NE(path.find("zel5_platform_tests"), std::string::npos) << path;
  EXPECT_EQ(ExecutablePath(5), path.substr(0, 5));
  EXPECT_NE(CurrentProcessId(), 0u);
}

TEST(PlatformDynamicLibrary, LoadsFindsAndRefuses) {
  EXPECT_EQ(DynamicLibrary::Load("/nonexistent/library.so"), nullptr);
  EXPECT_EQ(DynamicLibrary::Load(nullptr), nullptr);
  const auto library = DynamicLibrary::Load(ZEL5_CONF_LIBRARY);
  ASSERT_NE(library, nullptr);
  EXPECT_NE(library->Find("GetConfiguration"), nullptr);
  EXPECT_EQ(library->Find("NoSuchExport"), nullptr);
}

}  // namespace
}  // namespace zel5::platform
