// The module's process-wide state and the work behind its entry points.
//
// Threads. Hosts call ProcessBuffer and OnStreamClosed from several threads
// at once, often one per stream. The link steps (Connect, Pump with its
// commands, StopRecording, Disconnect, Shutdown) are serialised by linkLock_.
// A buffer call only tries that lock: a connect attempt can block for up to a
// second on the controller's messages, and the host's audio must not wait
// for it, so a busy lock means this buffer skips the link steps. A close, a
// last stream or an unload always waits for it.
//
// Lock order: linkLock_, then feedLock_, then the mixer's own lock. feedLock_
// is held only to copy or replace feed_, never while calling anything.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include "platform/lock.h"
#include "plugin/record_filter.h"
#include "plugin/recorder_link.h"
#include "plugin/version_text.h"
#include "zel5/host_interfaces.h"

namespace zel5 {

inline constexpr std::uint32_t kPumpIntervalMs = 500;
inline constexpr std::uint32_t kFlagsInHostMode = 0xF8000000u;
inline constexpr std::uint32_t kFlagsOtherwise = 0x04000000u;

// What attach takes from its surroundings; tests give their own.
struct ModuleDependencies {
  std::function<HostConfiguration*()> getConfiguration;
  std::function<std::uint32_t()> tickCount;
  // The link, made once the host services are known.
  std::function<std::unique_ptr<RecorderLink>(PluginWindowService&)> makeLink;
  const char* buildDate;  // as the compiler writes it
};

class PluginModule {
 public:
  // Attach: the plug-in object, the two host services, a fresh link (not
  // connected) and the version text.
  explicit PluginModule(ModuleDependencies dependencies);
  // Detach: the recording stopped or the link closed, then the object goes.
  ~PluginModule();
  PluginModule(const PluginModule&) = delete;
  PluginModule& operator=(const PluginModule&) = delete;

  // What exportdef returns: the same pointer on every call.
  FilterInterface* filter() { return filter_.get(); }

  std::uint32_t Flags();
  const char* VersionText() const { return versionText_; }
  void ProcessBuffer(HostStream& stream);
  void OnStreamClosed(HostStream& stream);

 private:
  // Stops a running recording or closes an idle link. Holds linkLock_.
  void Shutdown();
  // Publishes the mixer that buffer calls feed: the link's while recording.
  // Holds linkLock_.
  void RefreshFeed();
  std::shared_ptr<StreamMixer> Feed();

  ModuleDependencies dependencies_;
  platform::Lock linkLock_;
  std::unique_ptr<RecorderLink> link_;
  std::uint32_t lastPumpTime_ = 0;
  platform::Lock feedLock_;
  std::shared_ptr<StreamMixer> feed_;
  std::unique_ptr<RecordFilter> filter_;
  PluginWindowService* windowService_ = nullptr;
  HostModeService* modeService_ = nullptr;
  char versionText_[kVersionTextSize] = {};
};

}  // namespace zel5
