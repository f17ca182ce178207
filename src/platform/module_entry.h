// The plug-in module's load and unload as the system reports them. The
// platform layer calls these; the module defines them.
#pragma once

namespace zel5::platform {

void OnModuleAttach();
void OnModuleDetach();

}  // namespace zel5::platform
