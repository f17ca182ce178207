// A window of this process whose loop runs on a thread of its own, as a
// controller would run it; stopped and joined when the object goes.
#pragma once

#include <memory>
#include <thread>
#include <utility>

#include "platform/message_window.h"

namespace zel5::transport::testing {

class WindowOnThread {
 public:
  explicit WindowOnThread(platform::WindowProcedure procedure)
      : window_(platform::MessageWindow::Create(std::move(procedure))) {
    if (window_) {
      loop_ = std::thread([this] { window_->Run(); });
    }
  }
  ~WindowOnThread() { Close(); }
  WindowOnThread(const WindowOnThread&) = delete;
  WindowOnThread& operator=(const WindowOnThread&) = delete;

  bool Made() const { return window_ != nullptr; }
  platform::MessageWindow& Window() { return *window_; }
  WindowHandle Handle() const { return window_->Handle(); }

  // Ends the loop and takes the window away.
  void Close() {
    if (loop_.joinable()) {
      window_->Stop();
      loop_.join();
    }
    window_.reset();
  }

 private:
  std::unique_ptr<platform::MessageWindow> window_;
  std::thread loop_;
};

}  // namespace zel5::transport::testing
