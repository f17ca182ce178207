// A shared object's constructor and destructor functions run when it is
// loaded and unloaded: the module's attach and detach.
#include "platform/module_entry.h"

namespace {

__attribute__((constructor)) void ModuleLoaded() {
  zel5::platform::OnModuleAttach();
}

__attribute__((destructor)) void ModuleUnloading() {
  zel5::platform::OnModuleDetach();
}

}  // namespace
