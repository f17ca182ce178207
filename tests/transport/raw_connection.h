// What no sender of ours would do to a window: connections that bring
// garbage or nothing, and sockets of other owners at a window's name.
#pragma once

#include <cstddef>

#include "platform/posix/unique_fd.h"
#include "zel5/host_interfaces.h"

namespace zel5::transport::testing {

class RawConnection {
 public:
  explicit RawConnection(WindowHandle window);

  bool Connected() const { return fd_.Valid(); }
  bool Write(const void* data, std::size_t size);
  void Close() { fd_ = platform::UniqueFd(); }

 private:
  platform::UniqueFd fd_;
};

// A socket bound at the name of the window, as a window of ours (listening)
// or one that a dead process left behind (not listening) holds it. The file
// stays when the object goes.
class SocketAtName {
 public:
  SocketAtName(WindowHandle window, bool listening);

  bool Bound() const { return bound_; }

 private:
  platform::UniqueFd fd_;
  bool bound_ = false;
};

// The handle that a window made after the one with this handle gets, as
// long as no other window is made in between.
WindowHandle FollowingHandle(WindowHandle window);

}  // namespace zel5::transport::testing
