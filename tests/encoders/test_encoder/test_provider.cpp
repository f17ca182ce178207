#include "encoders/test_encoder/test_provider.h"

#include <string>

#include "encoders/test_encoder/bounded_text.h"
#include "encoders/test_encoder/call_log.h"
#include "encoders/test_encoder/requested_failure.h"
#include "encoders/test_encoder/test_encoder.h"

namespace zel5::test_encoder {
namespace {

void StoreIfPlace(std::int32_t* place, std::int32_t value) {
  if (place != nullptr) {
    *place = value;
  }
}

}  // namespace

std::uint32_t TestProvider::GetId() {
  LogCall("GetId provider=" + Decimal(index_));
  return id_;
}

std::int32_t TestProvider::Describe(const std::uint8_t* settingsBytes, char* name,
                                    std::uint32_t nameSize, std::int32_t* value0,
                                    std::int32_t* value1, std::int32_t* value2) {
  const Settings settings = Load(settingsBytes);
  UseLogPath(settings.logPath);
  LogCall("Describe provider=" + Decimal(index_) + " nameSize=" + Decimal(nameSize));
  ThrowIfRequested(settings, Behaviour::kThrowFromDescribe, "Describe");
  CopyBounded(name, nameSize, settings.name[0] != '\0' ? settings.name : name_);
  StoreIfPlace(value0, settings.values[0]);
  StoreIfPlace(value1, settings.values[1]);
  StoreIfPlace(value2, settings.values[2]);
  return 0;
}

std::int32_t TestProvider::CreateEncoder(const WAVEFORMATEX* format,
                                         const std::uint8_t* settingsBytes, Encoder** encoder) {
  const Settings settings = Load(settingsBytes);
  UseLogPath(settings.logPath);
  std::string line = "CreateEncoder provider=" + Decimal(index_);
  if (format != nullptr) {
    line += " rate=" + Decimal(format->nSamplesPerSec) + " channels=" + Decimal(format->nChannels) +
            " bits=" + Decimal(format->wBitsPerSample);
  } else {
    line += " format=<null>";
  }
  LogCall(line);
  ThrowIfRequested(settings, Behaviour::kThrowFromCreateEncoder, "CreateEncoder");
  if (settings.behaviour == Behaviour::kFailCreateEncoder || format == nullptr ||
      encoder == nullptr) {
    return kFailureResult;
  }
  *encoder = new TestEncoder(*format, settings, extension_);
  return 0;
}

std::int32_t TestProvider::DestroyEncoder(Encoder* encoder) {
  LogCall("DestroyEncoder provider=" + Decimal(index_));
  if (encoder == nullptr) {
    return kFailureResult;
  }
  // Every encoder handed out is a TestEncoder.
  auto* testEncoder = static_cast<TestEncoder*>(encoder);
  const Settings settings = testEncoder->settings();
  delete testEncoder;
  // Freed first: a throwing destroy must not leak into the caller's memory checks.
  ThrowIfRequested(settings, Behaviour::kThrowFromDestroyEncoder, "DestroyEncoder");
  return 0;
}

}  // namespace zel5::test_encoder
