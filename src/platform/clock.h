// Time as the system keeps it.
#pragma once

#include <cstdint>

#include "zel5/control_protocol.h"

namespace zel5::platform {

// Milliseconds since the system started, in 32 bits: wraps after 49.7 days.
std::uint32_t TickCount();

// The current time in UTC.
Zel5SystemTime SystemTimeUtc();

}  // namespace zel5::platform
