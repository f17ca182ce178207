// A controller process registers and unregisters; this process, standing
// for the host, finds what it left.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "conf/runtime_base.h"
#include "zel5/host_configuration.h"
#include "zel5/host_interfaces.h"

namespace zel5::conf::testing {
namespace {

// True when the helper exits with ZEL5_CONF_OK.
bool RunController(const std::string& action, std::uint32_t pluginId, std::uintptr_t window) {
  char arguments[64];
  std::snprintf(arguments, sizeof(arguments), " %s %x %llx", action.c_str(),
                static_cast<unsigned>(pluginId), static_cast<unsigned long long>(window));
  const std::string command = std::string("\"") + ZEL5_CONF_HELPER + "\"" + arguments;
  return std::system(command.c_str()) == 0;
}

void* FoundByPlugin() {
  return GetConfiguration()->GetPluginWindowService()->FindPluginWindow(ZEL5_PLUGIN_ID);
}

class CrossProcess : public ::testing::Test {
 protected:
  RuntimeBase runtime_;
};

TEST_F(CrossProcess, ControllerRegistrationReachesTheHost) {
  ASSERT_TRUE(RunController("register", ZEL5_PLUGIN_ID, 0x5150));
  EXPECT_EQ(FoundByPlugin(), reinterpret_cast<void*>(std::uintptr_t{0x5150}));

  EXPECT_FALSE(RunController("unregister", ZEL5_PLUGIN_ID, 0x4040));
  EXPECT_EQ(FoundByPlugin(), reinterpret_cast<void*>(std::uintptr_t{0x5150}));

  EXPECT_TRUE(RunController("unregister", ZEL5_PLUGIN_ID, 0x5150));
  EXPECT_EQ(FoundByPlugin(), nullptr);
}

TEST_F(CrossProcess, HostRegistrationReachesAController) {
  ASSERT_EQ(Zel5RegisterPluginWindow(ZEL5_PLUGIN_ID, reinterpret_cast<void*>(std::uintptr_t{0x77})),
            ZEL5_CONF_OK);
  EXPECT_TRUE(RunController("unregister", ZEL5_PLUGIN_ID, 0x77));
  EXPECT_EQ(FoundByPlugin(), nullptr);
}

}  // namespace
}  // namespace zel5::conf::testing
