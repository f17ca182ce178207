#include "plugin/plugin_module.h"

#include <new>
#include <utility>

#include "zel5/control_protocol.h"

namespace zel5 {
namespace {

// Holds a lock only if it was free when asked.
class TryLockGuard {
 public:
  explicit TryLockGuard(platform::Lock& lock) : lock_(lock), owns_(lock.TryEnter()) {}
  ~TryLockGuard() {
    if (owns_) {
      lock_.Leave();
    }
  }
  TryLockGuard(const TryLockGuard&) = delete;
  TryLockGuard& operator=(const TryLockGuard&) = delete;
  bool owns() const { return owns_; }

 private:
  platform::Lock& lock_;
  bool owns_;
};

}  // namespace

PluginModule::PluginModule(ModuleDependencies dependencies)
    : dependencies_(std::move(dependencies)),
      // A failed allocation leaves exportdef answering null; attach goes on.
      filter_(new (std::nothrow) RecordFilter(*this)) {
  windowService_ = dependencies_.getConfiguration()->GetPluginWindowService();
  modeService_ = dependencies_.getConfiguration()->GetHostModeService();
  link_ = dependencies_.makeLink(*windowService_);
  FormatVersionText(dependencies_.buildDate, versionText_);
}

PluginModule::~PluginModule() {
  {
    platform::ScopedLock hold(linkLock_);
    Shutdown();
    RefreshFeed();
  }
  filter_.reset();
}

std::uint32_t PluginModule::Flags() {
  return modeService_->GetModeFlag() != 0 ? kFlagsInHostMode : kFlagsOtherwise;
}

void PluginModule::ProcessBuffer(HostStream& stream) {
  if (stream.GetMark(ZEL5_FOREIGN_MARK_PLUGIN_ID) != 0) {
    return;
  }
  TryLockGuard linkSteps(linkLock_);
  if (linkSteps.owns()) {
    link_->Connect(stream);
    RefreshFeed();
  }
  if (const std::shared_ptr<StreamMixer> mixer = Feed()) {
    mixer->AddStreamData(stream);
  }
  if (!linkSteps.owns()) {
    return;
  }
  // Unsigned difference: right across the counter's wrap. Strictly more
  // than the interval, so at exactly 500 ms nothing happens.
  if (dependencies_.tickCount() - lastPumpTime_ > kPumpIntervalMs) {
    link_->Pump();
    lastPumpTime_ = dependencies_.tickCount();
    RefreshFeed();
  }
}

void PluginModule::OnStreamClosed(HostStream& stream) {
  platform::ScopedLock hold(linkLock_);
  if (!link_->IsConnected()) {
    return;
  }
  if (const std::shared_ptr<StreamMixer> mixer = link_->Mixer()) {
    mixer->RemoveStream(stream);
    if (mixer->StreamCount() == 0) {
      Shutdown();
    }
  }
  RefreshFeed();
}

void PluginModule::Shutdown() {
  if (!link_->IsConnected()) {
    return;
  }
  const std::int32_t state = link_->State();
  if (state == ZEL5_STATE_RECORDING || state == ZEL5_STATE_PAUSED) {
    link_->StopRecording();
  } else {
    link_->Disconnect();
  }
}

void PluginModule::RefreshFeed() {
  std::shared_ptr<StreamMixer> mixer =
      link_->IsConnected() && link_->State() == ZEL5_STATE_RECORDING ? link_->Mixer() : nullptr;
  platform::ScopedLock hold(feedLock_);
  feed_.swap(mixer);
}

std::shared_ptr<StreamMixer> PluginModule::Feed() {
  platform::ScopedLock hold(feedLock_);
  return feed_;
}

}  // namespace zel5
