#include "link/controller_endpoint.h"

#include <exception>
#include <limits>
#include <system_error>

#include "platform/process.h"
#include "platform/process_memory.h"
#include "zel5/host_configuration.h"
#include "zel5/plugin_ids.h"

namespace zel5::controller {

std::unique_ptr<ControllerEndpoint> ControllerEndpoint::Create() {
  std::unique_ptr<ControllerEndpoint> endpoint(new ControllerEndpoint());
  ControllerEndpoint* self = endpoint.get();
  endpoint->window_ = platform::MessageWindow::Create(
      [self](std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) {
        return self->Handle(message, wParam, lParam);
      });
  if (!endpoint->window_ ||
      Zel5RegisterPluginWindow(ZEL5_PLUGIN_ID, endpoint->window_->Handle()) != ZEL5_CONF_OK) {
    return nullptr;
  }
  try {
    endpoint->loop_ = std::thread([self] { self->window_->Run(); });
  } catch (const std::system_error&) {
    return nullptr;
  }
  return endpoint;
}

ControllerEndpoint::~ControllerEndpoint() {
  if (window_) {
    Zel5UnregisterPluginWindow(ZEL5_PLUGIN_ID, window_->Handle());
  }
  {
    const std::lock_guard<std::mutex> lock(mutex_);
    closing_ = true;
  }
  changed_.notify_all();
  if (loop_.joinable()) {
    window_->Stop();
    loop_.join();
  }
}

WindowHandle ControllerEndpoint::Window() const {
  return window_->Handle();
}

void ControllerEndpoint::SetRefusing(bool refusing) {
  const std::lock_guard<std::mutex> lock(mutex_);
  refusing_ = refusing;
}

void ControllerEndpoint::SetHung(bool hung) {
  {
    const std::lock_guard<std::mutex> lock(mutex_);
    hung_ = hung;
  }
  changed_.notify_all();
}

EndpointLog ControllerEndpoint::Log() const {
  const std::lock_guard<std::mutex> lock(mutex_);
  return log_;
}

bool ControllerEndpoint::WaitFor(const std::function<bool(const EndpointLog&)>& done,
                                 std::chrono::milliseconds patience) const {
  std::unique_lock<std::mutex> lock(mutex_);
  return changed_.wait_for(lock, patience, [&] { return done(log_); });
}

std::uintptr_t ControllerEndpoint::Handle(std::uint32_t message, std::uintptr_t wParam,
                                          std::intptr_t lParam) {
  {
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, [this] { return !hung_ || closing_; });
  }
  try {
    switch (message) {
      case MSG_QUERY_PROCESS:
        // The plug-in opens this process before it announces itself, so
        // where the system restricts that, the process asking gets the
        // right now.
        platform::AllowMemoryAccessFrom(window_->SenderProcessId());
        return platform::CurrentProcessId();
      case MSG_ANNOUNCE:
        return Announce(wParam, lParam);
      case MSG_BLOCK_UPDATED:
      case MSG_LINK_CLOSED:
        Record(message, wParam, lParam);
        return 0;
      default:
        return 0;
    }
  } catch (const std::exception&) {
    // Out of memory for the log: this message is lost, the window goes on.
    return 0;
  }
}

std::uintptr_t ControllerEndpoint::Announce(std::uintptr_t hostProcessId, std::intptr_t address) {
  if (hostProcessId > std::numeric_limits<std::uint32_t>::max()) {
    return 0;
  }
  const auto hostId = static_cast<std::uint32_t>(hostProcessId);
  // Opening the host also lets it reach this process, so that the host that
  // links last is the one that may use the block.
  const auto host = platform::ProcessHandle::Open(hostId);
  if (!host) {
    return 0;
  }
  Announcement announcement{hostId, {}};
  const std::size_t size = sizeof(announcement.record);
  if (host->Read(static_cast<std::uintptr_t>(address), &announcement.record, size) != size) {
    return 0;
  }
  bool refusing = false;
  {
    const std::lock_guard<std::mutex> lock(mutex_);
    log_.announcements.push_back(announcement);
    refusing = refusing_;
  }
  changed_.notify_all();
  return refusing ? 0 : block_.Address();
}

void ControllerEndpoint::Record(std::uint32_t message, std::uintptr_t wParam,
                                std::intptr_t lParam) {
  PostedMessage post{message, wParam, lParam, block_.Snapshot()};
  {
    const std::lock_guard<std::mutex> lock(mutex_);
    log_.posts.push_back(post);
  }
  changed_.notify_all();
}

}  // namespace zel5::controller
