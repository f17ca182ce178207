// A controller link for module tests: it links up when told to, keeps a
// real mixer, and counts what the module asks of it. Its fields are read and
// written only under the module's link lock, as a real link's are, so the
// thread sanitizer checks that lock.
#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <vector>

#include "mixer/stream_mixer.h"
#include "plugin/recorder_link.h"
#include "zel5/control_protocol.h"

namespace zel5::test {

struct LinkLog {
  std::atomic<int> connects{0};
  std::atomic<int> pumps{0};
  std::atomic<int> stops{0};
  std::atomic<int> disconnects{0};
  std::atomic<int> destroyed{0};
};

class FakeRecorderLink : public RecorderLink {
 public:
  explicit FakeRecorderLink(std::shared_ptr<LinkLog> log) : log_(std::move(log)) {}
  ~FakeRecorderLink() override { ++log_->destroyed; }

  void Connect(HostStream& stream) override {
    ++log_->connects;
    if (onConnect) {
      onConnect();
    }
    if (!connected_ && linkUp) {
      connected_ = true;
      state_ = initialState;
      mixer_ = std::make_shared<StreamMixer>(stream);
    }
  }
  bool IsConnected() const override { return connected_; }
  std::int32_t State() const override { return state_; }
  std::shared_ptr<StreamMixer> Mixer() const override { return mixer_; }
  void Pump() override {
    ++log_->pumps;
    if (onPump) {
      onPump(*this);
    }
  }
  void StopRecording() override {
    ++log_->stops;
    Drop();
  }
  void Disconnect() override {
    ++log_->disconnects;
    Drop();
  }

  void SetState(std::int32_t state) { state_ = state; }

  // Set before the module's first call.
  bool linkUp = true;
  std::int32_t initialState = ZEL5_STATE_RECORDING;
  std::function<void()> onConnect;
  std::function<void(FakeRecorderLink&)> onPump;

 private:
  void Drop() {
    connected_ = false;
    state_ = ZEL5_STATE_IDLE;
    mixer_.reset();
  }

  std::shared_ptr<LinkLog> log_;
  bool connected_ = false;
  std::int32_t state_ = ZEL5_STATE_IDLE;
  std::shared_ptr<StreamMixer> mixer_;
};

}  // namespace zel5::test
