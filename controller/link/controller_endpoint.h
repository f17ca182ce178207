// The controller's end of the link: its window, registered with the host's
// configuration library for this plug-in, and its control block, with the
// answers that the plug-in relies on. A controller program builds on it;
// tests stand it in for a controller and wait for what the plug-in did.
//
// The window's messages are handled on a thread that the endpoint owns, one
// at a time, in their order of arrival. Every other member may be called
// from any thread.
//
// Where the system lets only a process's ancestors reach its memory (Linux
// with Yama's ptrace_scope 1), the endpoint lets in the process that asks
// MSG_QUERY_PROCESS, and then the host that announces itself; only one
// process at a time, so it serves one host. A stricter scope lets no host
// reach the block.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "link/shared_block.h"
#include "platform/message_window.h"
#include "zel5/control_protocol.h"
#include "zel5/host_interfaces.h"

namespace zel5::controller {

// A stream that the plug-in announced, read from the host's memory while
// MSG_ANNOUNCE was being sent; refused ones too. An announcement that cannot
// be read is refused and not kept.
struct Announcement {
  std::uint32_t hostProcessId;
  StreamAnnouncement record;
};

// A posted MSG_BLOCK_UPDATED or MSG_LINK_CLOSED, with the block as it was
// when the message was handled.
struct PostedMessage {
  std::uint32_t message;
  std::uintptr_t wParam;
  std::intptr_t lParam;
  ControlBlock block;
};

// Everything the endpoint has seen of the plug-in, oldest first.
struct EndpointLog {
  std::vector<Announcement> announcements;
  std::vector<PostedMessage> posts;
};

class ControllerEndpoint {
 public:
  // Long enough for any slow machine; only a fault runs it out.
  static constexpr std::chrono::milliseconds kPatience{20000};

  // Null when the window cannot be made or registered.
  static std::unique_ptr<ControllerEndpoint> Create();
  // Unregisters the window (unless a newer controller has replaced it) and
  // takes it away.
  ~ControllerEndpoint();
  ControllerEndpoint(const ControllerEndpoint&) = delete;
  ControllerEndpoint& operator=(const ControllerEndpoint&) = delete;

  WindowHandle Window() const;
  SharedBlock& Block() { return block_; }

  // While set, MSG_ANNOUNCE is answered with 0: the link is refused.
  void SetRefusing(bool refusing);
  // While set, the window handles nothing, as a hung controller would:
  // sends time out, posts wait, and everything resumes in order after.
  void SetHung(bool hung);

  EndpointLog Log() const;
  // Waits until done holds for the log, checked at once and after every
  // change; false when patience ran out first.
  bool WaitFor(const std::function<bool(const EndpointLog&)>& done,
               std::chrono::milliseconds patience = kPatience) const;

 private:
  ControllerEndpoint() = default;
  std::uintptr_t Handle(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam);
  std::uintptr_t Announce(std::uintptr_t hostProcessId, std::intptr_t address);
  void Record(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam);

  SharedBlock block_;
  std::unique_ptr<platform::MessageWindow> window_;
  std::thread loop_;

  mutable std::mutex mutex_;
  mutable std::condition_variable changed_;
  EndpointLog log_;
  bool refusing_ = false;
  bool hung_ = false;
  bool closing_ = false;
};

}  // namespace zel5::controller
