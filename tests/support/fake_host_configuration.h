// The host's configuration library as tests need it: a mode flag the test
// sets and a window lookup that answers one registered window.
#pragma once

#include <atomic>
#include <cstdint>

#include "zel5/host_interfaces.h"

namespace zel5::test {

class FakePluginWindowService : public PluginWindowService {
 public:
  WindowHandle FindPluginWindow(std::uint32_t pluginId) override {
    lastPluginId = pluginId;
    return window;
  }
  WindowHandle window = nullptr;
  std::uint32_t lastPluginId = 0;
};

class FakeHostModeService : public HostModeService {
 public:
  std::int32_t GetModeFlag() override {
    ++calls;
    return flag.load();
  }
  std::atomic<std::int32_t> flag{0};
  std::atomic<int> calls{0};
};

class FakeHostConfiguration : public HostConfiguration {
 public:
  PluginWindowService* GetPluginWindowService() override { return &windows; }
  HostModeService* GetHostModeService() override { return &mode; }
  FakePluginWindowService windows;
  FakeHostModeService mode;
};

}  // namespace zel5::test
