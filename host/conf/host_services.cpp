// The configuration object and its two services as the plug-in reaches them
// through GetConfiguration.
#include <cstdint>
#include <exception>

#include "conf/host_mode.h"
#include "conf/window_registry.h"
#include "zel5/host_configuration.h"
#include "zel5/host_interfaces.h"

namespace zel5::conf {
namespace {

class WindowService final : public PluginWindowService {
 public:
  // Nothing may escape into the plug-in: an unreadable registry means none.
  WindowHandle FindPluginWindow(std::uint32_t pluginId) override {
    try {
      std::uintptr_t window = 0;
      LookUpPluginWindow(pluginId, window);
      return reinterpret_cast<WindowHandle>(window);
    } catch (const std::exception&) {
      return nullptr;
    }
  }
};

class ModeService final : public HostModeService {
 public:
  std::int32_t GetModeFlag() override { return HostModeFlag(); }
};

class Configuration final : public HostConfiguration {
 public:
  PluginWindowService* GetPluginWindowService() override;
  HostModeService* GetHostModeService() override;
};

// Constant-initialised and trivially destroyed, so they are valid from the
// first call to the last, whatever order libraries start and end in.
constinit WindowService windowService;
constinit ModeService modeService;
constinit Configuration configuration;

PluginWindowService* Configuration::GetPluginWindowService() {
  return &windowService;
}

HostModeService* Configuration::GetHostModeService() {
  return &modeService;
}

}  // namespace
}  // namespace zel5::conf

extern "C" ZEL5_CONF_API zel5::HostConfiguration* GetConfiguration(void) {
  return &zel5::conf::configuration;
}
