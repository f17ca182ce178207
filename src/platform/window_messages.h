// Window messages to another process's window: sent (waiting for the
// window procedure's answer) or posted (queued, never waited for).
#pragma once

#include <cstdint>

#include "zel5/host_interfaces.h"

namespace zel5::platform {

inline constexpr std::uint32_t kSendTimeoutMs = 500;

// Whether the handle names a window that still exists and takes messages.
// A hung window is still one.
bool IsLiveWindow(WindowHandle window);

// Waits at most timeoutMs for the window procedure's result, and gives up
// at once when the window's owner is gone or hung. Any failure reads as 0.
// On POSIX a hung window is noticed by the time-out alone, and a message
// whose sender has given up is dropped by the window, not handled late.
std::uintptr_t SendWindowMessage(WindowHandle window, std::uint32_t message, std::uintptr_t wParam,
                                 std::intptr_t lParam, std::uint32_t timeoutMs);

// Queues the message for the window and returns at once. Posts to one
// window arrive in order; they are lost only when the window is gone, or
// when its queue is full (on POSIX, 4096 messages waiting by default).
void PostWindowMessage(WindowHandle window, std::uint32_t message, std::uintptr_t wParam,
                       std::intptr_t lParam);

}  // namespace zel5::platform
