// A window owned by this process, as a controller has one: other processes
// send and post messages to its handle (window_messages.h), and its window
// procedure answers them.
//
// Threading: the procedure runs on the thread that calls Run, one message at
// a time, in the order in which the messages reached the window (sent and
// posted alike). Stop may be called from any thread, the procedure
// included. While no Run is active, messages wait in the window's queue and
// senders time out, as with a hung window.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include "zel5/host_interfaces.h"

namespace zel5::platform {

// Its result is the reply to a sent message; for a posted one it is dropped.
using WindowProcedure = std::function<std::uintptr_t(std::uint32_t message, std::uintptr_t wParam,
                                                     std::intptr_t lParam)>;

class MessageWindow {
 public:
  // Null when the window cannot be made (no runtime directory, say).
  static std::unique_ptr<MessageWindow> Create(WindowProcedure procedure);
  // Takes the window away: it is no longer live, and messages to its handle
  // fail (a sender waiting for a reply gets 0). Never while Run runs.
  ~MessageWindow();
  MessageWindow(const MessageWindow&) = delete;
  MessageWindow& operator=(const MessageWindow&) = delete;

  // Never null; no other live window of this user has it.
  WindowHandle Handle() const;

  // Hands messages to the procedure until Stop. One Run at a time, and
  // never from inside the procedure.
  void Run();
  // Makes the running Run return once the message in hand is answered, or
  // the next Run return at once.
  void Stop();

  // The process that sent or posted the message in hand, as the system
  // vouches for it; for use inside the procedure only.
  std::uint32_t SenderProcessId() const;

 private:
  struct Impl;
  explicit MessageWindow(std::unique_ptr<Impl> impl);
  std::unique_ptr<Impl> impl_;
};

}  // namespace zel5::platform
