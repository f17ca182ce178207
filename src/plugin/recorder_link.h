// What the module's entry points need of the controller link and the
// recorder behind it.
#pragma once

#include <cstdint>
#include <memory>

#include "mixer/stream_mixer.h"
#include "zel5/host_interfaces.h"

namespace zel5 {

class RecorderLink {
 public:
  virtual ~RecorderLink() = default;

  // Links up with the controller for this stream; returns at once when the
  // link already stands.
  virtual void Connect(HostStream& stream) = 0;
  virtual bool IsConnected() const = 0;
  // The recorder state in the plug-in's copy of the control block.
  virtual std::int32_t State() const = 0;
  // The link's mixer while connected, else null. Shared, so that a host
  // thread still feeding it keeps it alive after the link drops it.
  virtual std::shared_ptr<StreamMixer> Mixer() const = 0;
  // Polls the controller's commands and, while recording, writes the mix.
  virtual void Pump() = 0;
  // Stops a running or paused recording; this ends the link.
  virtual void StopRecording() = 0;
  virtual void Disconnect() = 0;
};

}  // namespace zel5
