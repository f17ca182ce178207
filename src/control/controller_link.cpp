#include "control/controller_link.h"

#include <cstdint>
#include <cstring>
#include <new>
#include <string>

#include "control/bounded_text.h"
#include "platform/clock.h"
#include "platform/process.h"
#include "platform/window_messages.h"
#include "zel5/plugin_ids.h"

namespace zel5 {
namespace {

constexpr std::size_t kBlockSize = sizeof(ControlBlock);

StreamAnnouncement Announce(HostStream& stream) {
  StreamAnnouncement announcement{};
  announcement.newStream = stream.GetMark(ZEL5_PLUGIN_ID) == 0 ? 1 : 0;
  // The mark stays whatever becomes of this attempt: a later announcement of
  // the same stream is not a new stream.
  stream.SetMark(ZEL5_PLUGIN_ID, 1);
  StoreFieldTextCut(announcement.hostPath, platform::ExecutablePath(ZEL5_TEXT_FIELD - 1));
  WAVEFORMATEX& format = announcement.format;
  format.wFormatTag = ZEL5_WAVE_FORMAT_PCM;
  format.nSamplesPerSec = stream.GetSampleRate();
  format.nChannels = static_cast<std::uint16_t>(stream.GetChannels());
  format.wBitsPerSample = static_cast<std::uint16_t>(stream.GetBitsPerSample());
  format.nBlockAlign = static_cast<std::uint16_t>(format.nChannels * format.wBitsPerSample / 8);
  format.nAvgBytesPerSec = format.nBlockAlign * format.nSamplesPerSec;
  format.cbSize = 0;
  return announcement;
}

}  // namespace

ControllerLink::~ControllerLink() {
  Disconnect();
}

void ControllerLink::Connect(HostStream& stream) {
  if (link_.connected) {
    return;
  }
  const WindowHandle window = windows_.FindPluginWindow(ZEL5_PLUGIN_ID);
  if (!platform::IsLiveWindow(window)) {
    return;
  }
  const std::uintptr_t processId =
      platform::SendWindowMessage(window, MSG_QUERY_PROCESS, 0, 0, platform::kSendTimeoutMs);
  std::unique_ptr<platform::ProcessHandle> process =
      processId != 0 && static_cast<std::uint64_t>(processId) <= UINT32_MAX
          ? platform::ProcessHandle::Open(static_cast<std::uint32_t>(processId))
          : nullptr;
  if (process == nullptr) {
    return;
  }
  // Valid only while the announcement is being sent: the controller reads it
  // from our memory before it answers.
  const StreamAnnouncement announcement = Announce(stream);
  const std::uintptr_t blockAddress = platform::SendWindowMessage(
      window, MSG_ANNOUNCE, platform::CurrentProcessId(),
      reinterpret_cast<std::intptr_t>(&announcement), platform::kSendTimeoutMs);
  if (blockAddress == 0) {
    return;
  }
  if (process->Read(blockAddress, &copy_, kBlockSize) != kBlockSize) {
    copy_ = ControlBlock{};
    process.reset();
    platform::PostWindowMessage(window, MSG_LINK_CLOSED, 0,
                                static_cast<std::intptr_t>(blockAddress));
    return;
  }
  link_.blockAddress = blockAddress;
  link_.window = window;
  link_.process = std::move(process);
  copy_.startTime = platform::SystemTimeUtc();
  link_.connected = true;
  link_.linkId = copy_.linkId;
  if (copy_.state != ZEL5_STATE_IDLE) {
    Disconnect();
    return;
  }
  // Without memory for a mixer the link stands but records nothing.
  try {
    link_.mixer = std::make_shared<StreamMixer>(stream);
  } catch (const std::bad_alloc&) {
    link_.mixer.reset();
  }
  Poll();
}

void ControllerLink::Poll() {
  if (!link_.connected) {
    return;
  }
  ControlBlock fresh{};
  const std::size_t read = link_.process->Read(link_.blockAddress, &fresh, kBlockSize);
  if (read != kBlockSize || fresh.linkId != link_.linkId || fresh.state == ZEL5_STATE_FAILED) {
    Disconnect();
    return;
  }
  if (fresh.command == ZEL5_COMMAND_NONE) {
    return;
  }
  const std::int32_t cleared = 0;
  link_.process->Write(link_.blockAddress + offsetof(ControlBlock, command), &cleared,
                       sizeof cleared);
  copy_.command = 0;
  switch (fresh.command) {
    case ZEL5_COMMAND_START:
      StartRecording(fresh);
      break;
    case ZEL5_COMMAND_STOP:
      StopRecording();
      break;
    case ZEL5_COMMAND_TOGGLE_PAUSE:
      TogglePause();
      break;
    default:
      break;
  }
}

void ControllerLink::Publish() {
  copy_.updated = 1;
  link_.process->Write(link_.blockAddress, &copy_, kBlockSize);
  platform::PostWindowMessage(link_.window, MSG_BLOCK_UPDATED, 0,
                              static_cast<std::intptr_t>(link_.blockAddress));
}

void ControllerLink::Disconnect() {
  if (!link_.connected) {
    return;
  }
  if (link_.encoder != nullptr && link_.provider != nullptr) {
    // A throwing encoder must not keep its library loaded or reach the host.
    try {
      link_.encoder->Close();
    } catch (...) {
    }
    try {
      link_.provider->DestroyEncoder(link_.encoder);
    } catch (...) {
    }
  }
  link_.encoder = nullptr;
  link_.provider = nullptr;
  link_.library.reset();
  platform::PostWindowMessage(link_.window, MSG_LINK_CLOSED,
                              static_cast<std::uintptr_t>(static_cast<std::uint32_t>(link_.linkId)),
                              static_cast<std::intptr_t>(link_.blockAddress));
  // The mixer goes with the last host thread still feeding it.
  link_ = Record{};
  copy_ = ControlBlock{};
}

}  // namespace zel5
