// The plug-in's connection to the controller application and the recorder
// that carries out its commands: the controller's window, a handle on its
// process, the address of the control block there, the plug-in's copy of
// that block, and while recording the encoder library and its objects.
#pragma once

#include <cstdint>
#include <memory>

#include "mixer/stream_mixer.h"
#include "platform/dynamic_library.h"
#include "platform/process_memory.h"
#include "plugin/recorder_link.h"
#include "zel5/control_protocol.h"
#include "zel5/encoder_api.h"
#include "zel5/host_interfaces.h"

namespace zel5 {

class ControllerLink final : public RecorderLink {
 public:
  explicit ControllerLink(PluginWindowService& windows) : windows_(windows) {}
  ~ControllerLink() override;
  ControllerLink(const ControllerLink&) = delete;
  ControllerLink& operator=(const ControllerLink&) = delete;

  void Connect(HostStream& stream) override;
  bool IsConnected() const override { return link_.connected; }
  std::int32_t State() const override { return copy_.state; }
  std::shared_ptr<StreamMixer> Mixer() const override { return link_.mixer; }
  void Pump() override;
  void StopRecording() override;
  void Disconnect() override;

  // The plug-in's copy of the control block, as the next publish sends it.
  const ControlBlock& copy() const { return copy_; }

 private:
  // Link steps (controller_link.cpp).
  void Poll();
  void Publish();
  // Recorder steps (recorder.cpp).
  void StartRecording(const ControlBlock& fresh);
  void OpenEncoder(const ControlBlock& fresh);
  void TogglePause();
  // Writes what the rings still hold; false when the encoder failed.
  bool DrainMixer();
  // Reads both counters into the copy; false when the encoder failed.
  bool ReadCounters();

  struct Record {
    bool connected = false;
    std::int32_t linkId = 0;
    WindowHandle window = nullptr;
    std::unique_ptr<platform::ProcessHandle> process;
    std::uintptr_t blockAddress = 0;
    std::unique_ptr<platform::DynamicLibrary> library;
    Encoder* encoder = nullptr;
    EncoderProvider* provider = nullptr;
    GetProviderFunction getProvider = nullptr;
    GetProviderCountFunction getProviderCount = nullptr;
    std::shared_ptr<StreamMixer> mixer;
  };

  PluginWindowService& windows_;
  Record link_;
  ControlBlock copy_{};
};

}  // namespace zel5
