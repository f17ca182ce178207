#include "transport/raw_connection.h"

#include <sys/socket.h>

#include <cstdint>

#include "platform/posix/window_socket.h"

namespace zel5::transport::testing {
namespace {

platform::UniqueFd Connect(WindowHandle window) {
  int error = 0;
  return platform::window_socket::ConnectTo(window, error);
}

}  // namespace

RawConnection::RawConnection(WindowHandle window) : fd_(Connect(window)) {}

bool RawConnection::Write(const void* data, std::size_t size) {
  return platform::window_socket::SendAll(fd_.Get(), data, size);
}

SocketAtName::SocketAtName(WindowHandle window, bool listening)
    : fd_(socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0)) {
  sockaddr_un address{};
  bound_ = fd_.Valid() && platform::window_socket::AddressOf(window, address) &&
           bind(fd_.Get(), reinterpret_cast<const sockaddr*>(&address), sizeof(address)) == 0 &&
           (!listening || listen(fd_.Get(), 8) == 0);
}

WindowHandle FollowingHandle(WindowHandle window) {
  // Handles are the process id and a serial number counted up by one.
  return reinterpret_cast<WindowHandle>(reinterpret_cast<std::uintptr_t>(window) + 1);
}

}  // namespace zel5::transport::testing
