// The C functions of zel5/host_configuration.h. No exception crosses into a
// C caller: running out of memory becomes ZEL5_CONF_ERROR_IO.
#include "zel5/host_configuration.h"

#include <cstdint>
#include <exception>

#include "conf/host_mode.h"
#include "conf/window_registry.h"

namespace {

std::uintptr_t HandleValue(void* window) {
  return reinterpret_cast<std::uintptr_t>(window);
}

}  // namespace

extern "C" {

ZEL5_CONF_API void Zel5SetHostModeFlag(int32_t flag) {
  zel5::conf::SetHostModeFlag(flag);
}

ZEL5_CONF_API int Zel5RegisterPluginWindow(uint32_t pluginId, void* window) {
  if (window == nullptr) {
    return ZEL5_CONF_ERROR_ARGUMENT;
  }
  try {
    return zel5::conf::RegisterPluginWindow(pluginId, HandleValue(window));
  } catch (const std::exception&) {
    return ZEL5_CONF_ERROR_IO;
  }
}

ZEL5_CONF_API int Zel5UnregisterPluginWindow(uint32_t pluginId, void* window) {
  if (window == nullptr) {
    return ZEL5_CONF_ERROR_ARGUMENT;
  }
  try {
    return zel5::conf::UnregisterPluginWindow(pluginId, HandleValue(window));
  } catch (const std::exception&) {
    return ZEL5_CONF_ERROR_IO;
  }
}

ZEL5_CONF_API int Zel5FindPluginWindow(uint32_t pluginId, void** window) {
  if (window == nullptr) {
    return ZEL5_CONF_ERROR_ARGUMENT;
  }
  std::uintptr_t found = 0;
  int status = ZEL5_CONF_ERROR_IO;
  try {
    status = zel5::conf::LookUpPluginWindow(pluginId, found);
  } catch (const std::exception&) {
    // status stays ZEL5_CONF_ERROR_IO and the window none.
  }
  *window = reinterpret_cast<void*>(found);
  return status;
}

}  // extern "C"
