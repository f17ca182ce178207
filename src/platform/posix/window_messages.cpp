#include "platform/window_messages.h"

#include <cerrno>
#include <chrono>

#include "platform/posix/window_socket.h"

namespace zel5::platform {
namespace {

using window_socket::Delivery;
using window_socket::Request;

Request MakeRequest(Delivery delivery, std::uint32_t message, std::uintptr_t wParam,
                    std::intptr_t lParam) {
  return Request{static_cast<std::uint32_t>(delivery), message, wParam,
                 static_cast<std::int64_t>(lParam)};
}

}  // namespace

bool IsLiveWindow(WindowHandle window) {
  int error = 0;
  const UniqueFd probe = window_socket::ConnectTo(window, error);
  // A full queue still has a window listening behind it, one that is slow
  // or hung; a socket file whose owner died refuses the connection.
  return probe.Valid() || error == EAGAIN;
}

std::uintptr_t SendWindowMessage(WindowHandle window, std::uint32_t message, std::uintptr_t wParam,
                                 std::intptr_t lParam, std::uint32_t timeoutMs) {
  const window_socket::Deadline deadline =
      std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  const UniqueFd connection = window_socket::ConnectBy(window, deadline);
  if (!connection.Valid()) {
    return 0;
  }
  const Request request = MakeRequest(Delivery::kSend, message, wParam, lParam);
  if (!window_socket::SendAll(connection.Get(), &request, sizeof(request))) {
    return 0;
  }
  window_socket::Reply reply = 0;
  if (!window_socket::ReceiveAll(connection.Get(), &reply, sizeof(reply), deadline, -1)) {
    return 0;
  }
  return static_cast<std::uintptr_t>(reply);
}

void PostWindowMessage(WindowHandle window, std::uint32_t message, std::uintptr_t wParam,
                       std::intptr_t lParam) {
  // The connection waits in the window's queue, request and all, until the
  // window takes it; the queue is first come, first served, which keeps the
  // order. When the queue is full (the kernel's limit on pending
  // connections, 4096 by default) the post is dropped, as it is when the
  // window is gone: a window that far behind is hung, not slow.
  int error = 0;
  const UniqueFd connection = window_socket::ConnectTo(window, error);
  if (!connection.Valid()) {
    return;
  }
  const Request request = MakeRequest(Delivery::kPost, message, wParam, lParam);
  window_socket::SendAll(connection.Get(), &request, sizeof(request));
}

}  // namespace zel5::platform
