// The link of a module built without a controller transport: it never links
// up, so the plug-in passes every buffer through untouched.
#pragma once

#include "plugin/recorder_link.h"

namespace zel5 {

class NoControllerLink final : public RecorderLink {
 public:
  void Connect(HostStream&) override {}
  bool IsConnected() const override { return false; }
  std::int32_t State() const override { return 0; }
  std::shared_ptr<StreamMixer> Mixer() const override { return nullptr; }
  void Pump() override {}
  void StopRecording() override {}
  void Disconnect() override {}
};

}  // namespace zel5
