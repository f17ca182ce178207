// The recorder: start, stop and pause on the controller's command, and the
// pump that writes the mix to the encoder. Its state is the copy's state.
#include <cstdio>
#include <cstring>
#include <string>

#include "control/bounded_text.h"
#include "control/controller_link.h"
#include "platform/clock.h"

namespace zel5 {
namespace {

// A start that cannot go on; its text becomes the published errorText.
struct StartFailure {
  std::string message;
};

// The library's file name without its folder, as the controller named it.
std::string FileNameOf(const std::string& path) {
  const std::size_t slash = path.find_last_of("/\\");
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string LibraryMessage(const std::string& path) {
  return "Cannot start encoder. Library '" + FileNameOf(path) + "' cannot be loaded.";
}

std::string EncoderMessage(const char (&encoderName)[ZEL5_TEXT_FIELD]) {
  return "Cannot open encoder '" + FieldText(encoderName) + "'.";
}

// Bounds the stop's drain: each Mix empties at least the shortest ring, so
// a few rounds take everything but what host threads keep adding meanwhile.
constexpr int kLargestDrain = 64;

}  // namespace

void ControllerLink::StartRecording(const ControlBlock& fresh) {
  if (!link_.connected || copy_.state != ZEL5_STATE_IDLE) {
    return;
  }
  try {
    OpenEncoder(fresh);
    copy_.state = ZEL5_STATE_RECORDING;
    copy_.startTime = platform::SystemTimeUtc();
    Publish();
    return;
  } catch (const StartFailure& failure) {
    StoreFieldTextCut(copy_.errorText, failure.message);
  } catch (...) {
    // An exception of the encoder library's own carries no message of ours:
    // errorText stays as it was.
  }
  copy_.state = ZEL5_STATE_FAILED;
  Publish();
  Disconnect();
}

void ControllerLink::OpenEncoder(const ControlBlock& fresh) {
  StoreFieldTextCut(copy_.outputFile, FieldText(fresh.outputFile));
  const std::string libraryPath = FieldText(fresh.libraryPath);
  link_.library = platform::DynamicLibrary::Load(libraryPath.c_str());
  if (link_.library == nullptr) {
    throw StartFailure{LibraryMessage(libraryPath)};
  }
  link_.getProvider = reinterpret_cast<GetProviderFunction>(link_.library->Find("GetProvider"));
  link_.getProviderCount =
      reinterpret_cast<GetProviderCountFunction>(link_.library->Find("GetProviderCount"));
  if (link_.getProvider == nullptr || link_.getProviderCount == nullptr) {
    throw StartFailure{LibraryMessage(libraryPath)};
  }

  std::uint32_t providerId = 0;
  std::memcpy(&providerId, fresh.encoderSettings, sizeof providerId);
  const std::uint32_t count = link_.getProviderCount();
  for (std::uint32_t index = 0; index < count && link_.provider == nullptr; ++index) {
    EncoderProvider* provider = link_.getProvider(index);
    if (provider != nullptr && provider->GetId() == providerId) {
      link_.provider = provider;
    }
  }
  if (link_.provider == nullptr) {
    throw StartFailure{"Cannot find requested provider."};
  }

  if (link_.mixer == nullptr) {
    throw StartFailure{EncoderMessage(copy_.encoderName)};
  }
  const WAVEFORMATEX mixFormat = link_.mixer->GetMixFormat();
  Encoder* encoder = nullptr;
  if (link_.provider->CreateEncoder(&mixFormat, fresh.encoderSettings, &encoder) != 0 ||
      encoder == nullptr) {
    throw StartFailure{EncoderMessage(copy_.encoderName)};
  }
  link_.encoder = encoder;
  std::memcpy(copy_.encoderSettings, fresh.encoderSettings, sizeof copy_.encoderSettings);
  link_.provider->Describe(copy_.encoderSettings, copy_.encoderName, ZEL5_TEXT_FIELD,
                           &copy_.encoderValues[0], &copy_.encoderValues[1],
                           &copy_.encoderValues[2]);
  // The encoder's text may lack its NUL; the field always ends with one.
  copy_.encoderName[ZEL5_TEXT_FIELD - 1] = '\0';

  EncoderInfo info{};
  info.size = sizeof info;
  link_.encoder->GetInfo(&info);
  info.extension[sizeof info.extension - 1] = '\0';
  // A name that cannot carry its extension cannot be opened as asked: refuse
  // rather than cut the name.
  const std::string outputFile = FieldText(copy_.outputFile) + "." + info.extension;
  if (!StoreFieldText(copy_.outputFile, outputFile) || link_.encoder->Open(copy_.outputFile) != 0) {
    throw StartFailure{EncoderMessage(copy_.encoderName)};
  }
}

void ControllerLink::StopRecording() {
  if (!link_.connected ||
      (copy_.state != ZEL5_STATE_RECORDING && copy_.state != ZEL5_STATE_PAUSED)) {
    return;
  }
  // What the rings still hold belongs to the recording: write it before the
  // encoder is closed. A failing encoder ends the link like a broken one.
  if (!DrainMixer() || !ReadCounters()) {
    Disconnect();
    return;
  }
  copy_.stopTime = platform::SystemTimeUtc();
  copy_.state = ZEL5_STATE_STOPPED;
  Publish();
  Disconnect();
}

void ControllerLink::TogglePause() {
  if (!link_.connected) {
    return;
  }
  if (copy_.state == ZEL5_STATE_RECORDING) {
    copy_.state = ZEL5_STATE_PAUSED;
  } else if (copy_.state == ZEL5_STATE_PAUSED) {
    copy_.state = ZEL5_STATE_RECORDING;
  } else {
    return;
  }
  Publish();
}

void ControllerLink::Pump() {
  Poll();
  if (!link_.connected || copy_.state != ZEL5_STATE_RECORDING || link_.mixer == nullptr) {
    return;
  }
  std::uint32_t bytes = 0;
  const std::int16_t* block = link_.mixer->Mix(bytes);
  if (block == nullptr || bytes == 0) {
    return;
  }
  try {
    link_.encoder->WriteBlock(block, bytes);
  } catch (...) {
    Disconnect();
    return;
  }
  if (!ReadCounters()) {
    Disconnect();
    return;
  }
  Publish();
}

bool ControllerLink::DrainMixer() {
  if (link_.mixer == nullptr) {
    return true;
  }
  for (int round = 0; round < kLargestDrain; ++round) {
    std::uint32_t bytes = 0;
    const std::int16_t* block = link_.mixer->Mix(bytes);
    if (block == nullptr || bytes == 0) {
      return true;
    }
    try {
      link_.encoder->WriteBlock(block, bytes);
    } catch (...) {
      return false;
    }
  }
  return true;
}

bool ControllerLink::ReadCounters() {
  try {
    link_.encoder->QueryCounterB(&copy_.counterB);
    link_.encoder->QueryCounterA(&copy_.counterA);
  } catch (...) {
    return false;
  }
  return true;
}

}  // namespace zel5
