// The module's one export and its attach and detach, wired to the host's
// configuration library, the system clock and the controller link.
#include <memory>

#include "control/controller_link.h"
#include "platform/clock.h"
#include "platform/module_entry.h"
#include "plugin/plugin_module.h"
#include "zel5/host_interfaces.h"

namespace {

// A plain pointer, made and deleted by attach and detach alone: a static
// object's destructor would run at unload in an order of its own, before or
// after detach.
constinit zel5::PluginModule* module = nullptr;

}  // namespace

namespace zel5::platform {

void OnModuleAttach() {
  module = new PluginModule(ModuleDependencies{
      .getConfiguration = [] { return GetConfiguration(); },
      .tickCount = [] { return TickCount(); },
      .makeLink = [](PluginWindowService& windows) -> std::unique_ptr<RecorderLink> {
        return std::make_unique<ControllerLink>(windows);
      },
      .buildDate = __DATE__,
  });
}

void OnModuleDetach() {
  delete module;
  module = nullptr;
}

}  // namespace zel5::platform

extern "C" ZEL5_EXPORT zel5::FilterInterface* exportdef() {
  return module != nullptr ? module->filter() : nullptr;
}
