// The host's mode flag in this process: set by the host, read by plug-ins
// on any thread.
#pragma once

#include <cstdint>

namespace zel5::conf {

void SetHostModeFlag(std::int32_t flag);
std::int32_t HostModeFlag();

}  // namespace zel5::conf
