// How a window is reached on this system: a Unix-domain stream socket in
// the user's runtime directory, named after the window's handle, with one
// connection per message. The sender connects and writes one Request; for a
// sent message the window writes one Reply back before closing.
#pragma once

#include <sys/un.h>

#include <chrono>
#include <cstddef>
#include <cstdint>

#include "platform/posix/unique_fd.h"
#include "zel5/host_interfaces.h"

namespace zel5::platform::window_socket {

enum class Delivery : std::uint32_t { kSend = 1, kPost = 2 };

// Both ends run on one machine, so the fields travel in its byte order.
struct Request {
  std::uint32_t delivery;
  std::uint32_t message;
  std::uint64_t wParam;
  std::int64_t lParam;
};
static_assert(sizeof(Request) == 24);

// The window procedure's result.
using Reply = std::uint64_t;

using Deadline = std::chrono::steady_clock::time_point;

// The socket address that a handle names; false when there is no runtime
// directory or the path does not fit an address.
bool AddressOf(WindowHandle window, sockaddr_un& address);

// A connection to the window, made without waiting (a Unix-domain connect
// either completes at once or fails). Invalid on failure, with error set;
// EAGAIN then means the window exists but its queue of connections is full.
UniqueFd ConnectTo(WindowHandle window, int& error);

// The same, except that while the window's queue is full it waits for room
// until the deadline.
UniqueFd ConnectBy(WindowHandle window, Deadline deadline);

// Writes all size bytes at once, without waiting and without SIGPIPE.
bool SendAll(int fd, const void* data, std::size_t size);

// Reads exactly size bytes, waiting until the deadline at the latest. Gives
// up early when the peer closes, or when interrupt (if not -1) becomes
// readable.
bool ReceiveAll(int fd, void* data, std::size_t size, Deadline deadline, int interrupt);

}  // namespace zel5::platform::window_socket
