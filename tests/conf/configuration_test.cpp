// GetConfiguration and its services, reached as the plug-in reaches them and
// as a host built by another compiler would: through raw table slots.
#include <gtest/gtest.h>

#include <cstdint>
#include <thread>

#include "conf/raw_slot.h"
#include "conf/runtime_base.h"
#include "zel5/host_configuration.h"
#include "zel5/host_interfaces.h"

namespace zel5::conf::testing {
namespace {

constexpr std::size_t kWindowServiceSlot = 2;
constexpr std::size_t kModeServiceSlot = 3;
constexpr std::size_t kFindPluginWindowSlot = 13;
constexpr std::size_t kGetModeFlagSlot = 21;

class Configuration : public ::testing::Test {
 protected:
  ~Configuration() override { Zel5SetHostModeFlag(0); }
  RuntimeBase runtime_;
};

TEST_F(Configuration, EveryCallGivesTheSameObjectAndServices) {
  HostConfiguration* first = GetConfiguration();
  HostConfiguration* second = GetConfiguration();
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(first, second);
  ASSERT_NE(first->GetPluginWindowService(), nullptr);
  ASSERT_NE(first->GetHostModeService(), nullptr);
  EXPECT_EQ(first->GetPluginWindowService(), second->GetPluginWindowService());
  EXPECT_EQ(first->GetHostModeService(), second->GetHostModeService());
}

TEST_F(Configuration, RawSlotsGiveTheServices) {
  HostConfiguration* configuration = GetConfiguration();
  EXPECT_EQ(CallSlot<void*>(configuration, kWindowServiceSlot),
            configuration->GetPluginWindowService());
  EXPECT_EQ(CallSlot<void*>(configuration, kModeServiceSlot), configuration->GetHostModeService());
}

TEST_F(Configuration, RawFindPluginWindowGivesTheRegisteredWindow) {
  void* windowService = CallSlot<void*>(GetConfiguration(), kWindowServiceSlot);
  EXPECT_EQ(CallSlot<void*>(windowService, kFindPluginWindowSlot, ZEL5_PLUGIN_ID), nullptr);

  void* window = reinterpret_cast<void*>(std::uintptr_t{0x1234});
  ASSERT_EQ(Zel5RegisterPluginWindow(ZEL5_PLUGIN_ID, window), ZEL5_CONF_OK);
  EXPECT_EQ(CallSlot<void*>(windowService, kFindPluginWindowSlot, ZEL5_PLUGIN_ID), window);
  EXPECT_EQ(GetConfiguration()->GetPluginWindowService()->FindPluginWindow(ZEL5_PLUGIN_ID), window);
  EXPECT_EQ(CallSlot<void*>(windowService, kFindPluginWindowSlot, ZEL5_FOREIGN_MARK_PLUGIN_ID),
            nullptr);
}

TEST_F(Configuration, ModeFlagFollowsTheSetter) {
  void* modeService = CallSlot<void*>(GetConfiguration(), kModeServiceSlot);
  EXPECT_EQ(CallSlot<std::int32_t>(modeService, kGetModeFlagSlot), 0);
  for (const std::int32_t flag : {1, 0, -1, INT32_MAX, INT32_MIN, 7}) {
    SCOPED_TRACE(flag);
    Zel5SetHostModeFlag(flag);
    EXPECT_EQ(CallSlot<std::int32_t>(modeService, kGetModeFlagSlot), flag);
    EXPECT_EQ(GetConfiguration()->GetHostModeService()->GetModeFlag(), flag);
  }
}

// Host threads read the flag while the host sets it; the thread sanitizer
// build reports a flag that is not atomic.
TEST_F(Configuration, ModeFlagReadsWhileItIsSetGiveSetValues) {
  constexpr std::int32_t kLast = 2000;
  HostModeService* modes = GetConfiguration()->GetHostModeService();
  std::thread setter([] {
    for (std::int32_t flag = 1; flag <= kLast; ++flag) {
      Zel5SetHostModeFlag(flag);
    }
  });
  for (int read = 0; read < kLast; ++read) {
    const std::int32_t flag = modes->GetModeFlag();
    ASSERT_GE(flag, 0);
    ASSERT_LE(flag, kLast);
  }
  setter.join();
  EXPECT_EQ(modes->GetModeFlag(), kLast);
}

TEST_F(Configuration, UnusableRegistryFindsNoWindow) {
  ASSERT_EQ(Zel5RegisterPluginWindow(ZEL5_PLUGIN_ID, reinterpret_cast<void*>(std::uintptr_t{0x99})),
            ZEL5_CONF_OK);
  std::filesystem::permissions(runtime_.Directory(), std::filesystem::perms::others_read,
                               std::filesystem::perm_options::add);
  EXPECT_EQ(GetConfiguration()->GetPluginWindowService()->FindPluginWindow(ZEL5_PLUGIN_ID),
            nullptr);
}

}  // namespace
}  // namespace zel5::conf::testing
