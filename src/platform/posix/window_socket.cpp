#include "platform/posix/window_socket.h"

#include <poll.h>
#include <sys/socket.h>
#include <sys/time.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include "platform/runtime_directory.h"

namespace zel5::platform::window_socket {
namespace {

int MillisecondsUntil(Deadline deadline) {
  const auto left = deadline - std::chrono::steady_clock::now();
  if (left <= std::chrono::steady_clock::duration::zero()) {
    return 0;
  }
  // Rounded up, so that a fraction of a millisecond left is still waited
  // for rather than spun on.
  return static_cast<int>(std::chrono::ceil<std::chrono::milliseconds>(left).count());
}

}  // namespace

bool AddressOf(WindowHandle window, sockaddr_un& address) {
  const std::filesystem::path directory = RuntimeDirectory();
  if (window == nullptr || directory.empty()) {
    return false;
  }
  // Apart from the configuration library's "window-" files in the same
  // directory.
  char name[sizeof("msgwin-") + 16];
  std::snprintf(name, sizeof(name), "msgwin-%016llx",
                static_cast<unsigned long long>(reinterpret_cast<std::uintptr_t>(window)));
  const std::string path = (directory / name).string();
  if (path.size() >= sizeof(address.sun_path)) {
    return false;
  }
  address = {};
  address.sun_family = AF_UNIX;
  std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
  return true;
}

namespace {

// Connects with a socket that waits for room in the window's queue for at
// most waitMs, or not at all for 0.
UniqueFd Connect(WindowHandle window, int waitMs, int& error) {
  sockaddr_un address{};
  if (!AddressOf(window, address)) {
    error = ENOENT;
    return {};
  }
  UniqueFd fd(socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | (waitMs == 0 ? SOCK_NONBLOCK : 0), 0));
  if (!fd.Valid()) {
    error = errno;
    return {};
  }
  // A Unix-domain connect waits only for room in the queue, and no longer
  // than the socket's send time-out.
  const timeval wait{waitMs / 1000, (waitMs % 1000) * 1000};
  if (waitMs != 0 && setsockopt(fd.Get(), SOL_SOCKET, SO_SNDTIMEO, &wait, sizeof(wait)) != 0) {
    error = errno;
    return {};
  }
  if (connect(fd.Get(), reinterpret_cast<const sockaddr*>(&address), sizeof(address)) != 0) {
    error = errno;
    return {};
  }
  error = 0;
  return fd;
}

}  // namespace

UniqueFd ConnectTo(WindowHandle window, int& error) {
  UniqueFd fd;
  do {
    fd = Connect(window, 0, error);
  } while (!fd.Valid() && error == EINTR);
  return fd;
}

UniqueFd ConnectBy(WindowHandle window, Deadline deadline) {
  int error = 0;
  UniqueFd fd;
  for (int wait = MillisecondsUntil(deadline); wait > 0; wait = MillisecondsUntil(deadline)) {
    fd = Connect(window, wait, error);
    if (fd.Valid() || error != EINTR) {
      break;
    }
  }
  return fd;
}

bool SendAll(int fd, const void* data, std::size_t size) {
  const auto* bytes = static_cast<const char*>(data);
  while (size > 0) {
    const ssize_t sent = send(fd, bytes, size, MSG_NOSIGNAL | MSG_DONTWAIT);
    if (sent < 0 && errno == EINTR) {
      continue;
    }
    if (sent <= 0) {
      return false;
    }
    bytes += sent;
    size -= static_cast<std::size_t>(sent);
  }
  return true;
}

bool ReceiveAll(int fd, void* data, std::size_t size, Deadline deadline, int interrupt) {
  auto* bytes = static_cast<char*>(data);
  while (size > 0) {
    const ssize_t got = recv(fd, bytes, size, MSG_DONTWAIT);
    if (got > 0) {
      bytes += got;
      size -= static_cast<std::size_t>(got);
      continue;
    }
    if (got == 0) {
      return false;
    }
    if (errno == EINTR) {
      continue;
    }
    if (errno != EAGAIN && errno != EWOULDBLOCK) {
      return false;
    }
    const int wait = MillisecondsUntil(deadline);
    if (wait == 0) {
      return false;
    }
    pollfd watched[2] = {{fd, POLLIN, 0}, {interrupt, POLLIN, 0}};
    const nfds_t count = interrupt >= 0 ? 2 : 1;
    if (poll(watched, count, wait) < 0 && errno != EINTR) {
      return false;
    }
    if (count == 2 && (watched[1].revents & POLLIN) != 0) {
      return false;
    }
  }
  return true;
}

}  // namespace zel5::platform::window_socket
