#include "encoders/test_encoder/test_encoder.h"

#include <cstdio>

#include "encoders/test_encoder/bounded_text.h"
#include "encoders/test_encoder/call_log.h"
#include "encoders/test_encoder/requested_failure.h"

namespace zel5::test_encoder {
namespace {

std::uint32_t FrameBytes(const WAVEFORMATEX& format) {
  if (format.nBlockAlign != 0) {
    return format.nBlockAlign;
  }
  // Counter A stays a byte count rather than dividing by zero.
  return 1;
}

}  // namespace

TestEncoder::TestEncoder(const WAVEFORMATEX& format, const Settings& settings,
                         const char* extension)
    : settings_(settings),
      frameBytes_(FrameBytes(format)),
      extension_(settings.extension[0] != '\0' ? settings.extension : extension) {}

std::int32_t TestEncoder::Open(const char* path) {
  LogCall(std::string("Open path=") + (path != nullptr ? path : "<null>"));
  ThrowIfRequested(settings_, Behaviour::kThrowFromOpen, "Open");
  if (settings_.behaviour == Behaviour::kFailOpen || path == nullptr) {
    return kFailureResult;
  }
  std::FILE* file = std::fopen(path, "wb");
  if (file == nullptr) {
    return kFailureResult;
  }
  std::fclose(file);
  path_ = path;
  open_ = true;
  bytesWritten_ = 0;
  return 0;
}

std::int32_t TestEncoder::Close() {
  LogCall("Close");
  ThrowIfRequested(settings_, Behaviour::kThrowFromClose, "Close");
  if (!open_) {
    return kFailureResult;
  }
  open_ = false;
  return 0;
}

std::int32_t TestEncoder::WriteBlock(const void* samples, std::uint32_t byteCount) {
  LogCall("WriteBlock bytes=" + Decimal(byteCount));
  ThrowIfRequested(settings_, Behaviour::kThrowFromWriteBlock, "WriteBlock");
  if (settings_.behaviour == Behaviour::kFailWriteBlock || !open_ ||
      (samples == nullptr && byteCount != 0)) {
    return kFailureResult;
  }
  if (byteCount == 0) {
    return 0;
  }
  // Appended and closed each time, so that the file is complete whenever a
  // test reads it, even while the recording goes on.
  std::FILE* file = std::fopen(path_.c_str(), "ab");
  if (file == nullptr) {
    return kFailureResult;
  }
  const std::size_t written = std::fwrite(samples, 1, byteCount, file);
  std::fclose(file);
  bytesWritten_ += static_cast<std::uint32_t>(written);
  return written == byteCount ? 0 : kFailureResult;
}

std::int32_t TestEncoder::QueryCounterA(std::uint32_t* value) {
  LogCall("QueryCounterA");
  ThrowIfRequested(settings_, Behaviour::kThrowFromQueryCounterA, "QueryCounterA");
  if (value == nullptr) {
    return kFailureResult;
  }
  *value = bytesWritten_ / frameBytes_;
  return 0;
}

std::int32_t TestEncoder::QueryCounterB(std::uint32_t* value) {
  LogCall("QueryCounterB");
  ThrowIfRequested(settings_, Behaviour::kThrowFromQueryCounterB, "QueryCounterB");
  if (value == nullptr) {
    return kFailureResult;
  }
  *value = bytesWritten_;
  return 0;
}

std::int32_t TestEncoder::GetInfo(EncoderInfo* info) {
  LogCall(info != nullptr ? "GetInfo size=" + Decimal(info->size) : "GetInfo info=<null>");
  ThrowIfRequested(settings_, Behaviour::kThrowFromGetInfo, "GetInfo");
  // A record smaller than this one has no room for the extension field.
  if (info == nullptr || info->size < sizeof(EncoderInfo)) {
    return kFailureResult;
  }
  CopyBounded(info->extension, sizeof info->extension, extension_.c_str());
  return 0;
}

}  // namespace zel5::test_encoder
