// The module's one export and its attach and detach, wired to the host's
// configuration library and the system clock.
#include <memory>

#include "platform/clock.h"
#include "platform/module_entry.h"
#include "plugin/no_controller_link.h"
#include "plugin/plugin_module.h"
#include "zel5/host_interfaces.h"

namespace {

constinit std::unique_ptr<zel5::PluginModule> module;

}  // namespace

namespace zel5::platform {

void OnModuleAttach() {
  module = std::make_unique<PluginModule>(ModuleDependencies{
      .getConfiguration = [] { return GetConfiguration(); },
      .tickCount = [] { return TickCount(); },
      .makeLink = [](PluginWindowService&) -> std::unique_ptr<RecorderLink> {
        return std::make_unique<NoControllerLink>();
      },
      .buildDate = __DATE__,
  });
}

void OnModuleDetach() {
  module.reset();
}

}  // namespace zel5::platform

extern "C" ZEL5_EXPORT zel5::FilterInterface* exportdef() {
  return module ? module->filter() : nullptr;
}
