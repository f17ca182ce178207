#include "platform/message_window.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <string>
#include <utility>

#include "platform/posix/window_socket.h"

namespace zel5::platform {
namespace {

using window_socket::Delivery;
using window_socket::Request;

// A handle is this process's id and a serial number, so that processes
// never need to agree on one. With 32-bit handles, 10 bits of serial leave
// the 22 that a process id may need.
constexpr int kSerialBits = sizeof(std::uintptr_t) >= 8 ? 32 : 10;
// Only after the serial wraps can a name still be held by a window of ours.
constexpr int kNameAttempts = 16;
// Senders write their request right after connecting; one that brings none
// in this time is dropped, so that it cannot hold up the messages behind it.
constexpr std::chrono::milliseconds kRequestWait{500};
// The pause when the system has no descriptor or memory for the next
// connection, so that the loop waits for some to come free instead of
// spinning.
constexpr int kResourcePauseMs = 10;

std::atomic<std::uintptr_t> nextSerial{0};

WindowHandle NewHandle() {
  const std::uintptr_t serial = nextSerial.fetch_add(1) & ((std::uintptr_t{1} << kSerialBits) - 1);
  return reinterpret_cast<WindowHandle>((static_cast<std::uintptr_t>(getpid()) << kSerialBits) |
                                        serial);
}

enum class Bound { kListening, kTaken, kFailed };

bool Bind(int fd, const sockaddr_un& address) {
  return bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) == 0;
}

Bound Listen(WindowHandle handle, UniqueFd& listener, std::string& path) {
  sockaddr_un address{};
  if (!window_socket::AddressOf(handle, address)) {
    return Bound::kFailed;
  }
  UniqueFd fd(socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0));
  if (!fd.Valid()) {
    return Bound::kFailed;
  }
  if (!Bind(fd.Get(), address)) {
    if (errno != EADDRINUSE) {
      return Bound::kFailed;
    }
    // The name holds our process id: it is either a window of ours or one
    // left behind by a dead process that had the same id.
    int error = 0;
    if (window_socket::ConnectTo(handle, error).Valid() || error == EAGAIN) {
      return Bound::kTaken;
    }
    unlink(address.sun_path);
    if (!Bind(fd.Get(), address)) {
      return Bound::kFailed;
    }
  }
  if (listen(fd.Get(), SOMAXCONN) != 0) {
    unlink(address.sun_path);
    return Bound::kFailed;
  }
  listener = std::move(fd);
  path = address.sun_path;
  return Bound::kListening;
}

// A sender that gave up waiting has closed its end. Its message is dropped
// rather than handled late, when what its parameters point to may be gone.
bool Abandoned(int fd) {
  pollfd watched{fd, POLLRDHUP, 0};
  return poll(&watched, 1, 0) > 0 && (watched.revents & (POLLRDHUP | POLLHUP | POLLERR)) != 0;
}

std::uint32_t PeerProcessId(int fd) {
  ucred credentials{};
  socklen_t size = sizeof(credentials);
  if (getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &credentials, &size) != 0) {
    return 0;
  }
  return static_cast<std::uint32_t>(credentials.pid);
}

}  // namespace

struct MessageWindow::Impl {
  void ServeOne();

  WindowProcedure procedure;
  WindowHandle handle = nullptr;
  std::string path;
  UniqueFd listener;
  UniqueFd wake;
  std::uint32_t sender = 0;
};

void MessageWindow::Impl::ServeOne() {
  UniqueFd connection(accept4(listener.Get(), nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK));
  if (!connection.Valid()) {
    if (errno == EMFILE || errno == ENFILE || errno == ENOBUFS || errno == ENOMEM) {
      pollfd watched{wake.Get(), POLLIN, 0};
      poll(&watched, 1, kResourcePauseMs);
    }
    return;
  }
  Request request{};
  const window_socket::Deadline deadline = std::chrono::steady_clock::now() + kRequestWait;
  if (!window_socket::ReceiveAll(connection.Get(), &request, sizeof(request), deadline,
                                 wake.Get())) {
    return;
  }
  const auto delivery = static_cast<Delivery>(request.delivery);
  if (delivery != Delivery::kSend && delivery != Delivery::kPost) {
    return;
  }
  if (delivery == Delivery::kSend && Abandoned(connection.Get())) {
    return;
  }
  sender = PeerProcessId(connection.Get());
  const window_socket::Reply reply =
      procedure(request.message, static_cast<std::uintptr_t>(request.wParam),
                static_cast<std::intptr_t>(request.lParam));
  if (delivery == Delivery::kSend) {
    window_socket::SendAll(connection.Get(), &reply, sizeof(reply));
  }
}

std::unique_ptr<MessageWindow> MessageWindow::Create(WindowProcedure procedure) {
  if (!procedure) {
    return nullptr;
  }
  auto impl = std::make_unique<Impl>();
  impl->procedure = std::move(procedure);
  impl->wake = UniqueFd(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK));
  if (!impl->wake.Valid()) {
    return nullptr;
  }
  for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
    const WindowHandle handle = NewHandle();
    const Bound bound = Listen(handle, impl->listener, impl->path);
    if (bound == Bound::kFailed) {
      return nullptr;
    }
    if (bound == Bound::kListening) {
      impl->handle = handle;
      return std::unique_ptr<MessageWindow>(new MessageWindow(std::move(impl)));
    }
  }
  return nullptr;
}

MessageWindow::MessageWindow(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}

MessageWindow::~MessageWindow() {
  // The name goes first, so that the window reads as gone at once; closing
  // the socket then turns away the connections still queued.
  unlink(impl_->path.c_str());
}

WindowHandle MessageWindow::Handle() const {
  return impl_->handle;
}

void MessageWindow::Run() {
  for (;;) {
    pollfd watched[2] = {{impl_->wake.Get(), POLLIN, 0}, {impl_->listener.Get(), POLLIN, 0}};
    // A failed wait (a signal, or memory short for a moment) is tried again.
    if (poll(watched, 2, -1) < 0) {
      continue;
    }
    if ((watched[0].revents & POLLIN) != 0) {
      eventfd_t stops = 0;
      eventfd_read(impl_->wake.Get(), &stops);
      return;
    }
    if ((watched[1].revents & POLLIN) != 0) {
      impl_->ServeOne();
    }
  }
}

void MessageWindow::Stop() {
  eventfd_write(impl_->wake.Get(), 1);
}

std::uint32_t MessageWindow::SenderProcessId() const {
  return impl_->sender;
}

}  // namespace zel5::platform
