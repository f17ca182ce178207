// The controller windows registered per plug-in id, one file each in the
// user's runtime directory, so that every process of the user sees them.
// Results are the ZEL5_CONF_ codes of zel5/host_configuration.h.
#pragma once

#include <cstdint>

namespace zel5::conf {

// window is not 0.
int RegisterPluginWindow(std::uint32_t pluginId, std::uintptr_t window);

// Removes the registration only while it is still window (not 0).
int UnregisterPluginWindow(std::uint32_t pluginId, std::uintptr_t window);

// window becomes the registered one, or 0 for none; on an error it is left
// as it was.
int LookUpPluginWindow(std::uint32_t pluginId, std::uintptr_t& window);

}  // namespace zel5::conf
