#include "wav_provider.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "wav_encoder.h"

namespace zel5::wav {
namespace {

constexpr std::int32_t kFailure = -1;
constexpr char kName[] = "WAV PCM 16-bit";

bool Acceptable(const WAVEFORMATEX& format) {
  return format.wFormatTag == ZEL5_WAVE_FORMAT_PCM && format.wBitsPerSample == 16 &&
         (format.nChannels == 1 || format.nChannels == 2) && format.nSamplesPerSec != 0 &&
         format.nBlockAlign == format.nChannels * 2 &&
         format.nAvgBytesPerSec == format.nSamplesPerSec * format.nBlockAlign;
}

void StoreIfPlace(std::int32_t* place, std::uint32_t value) {
  if (place != nullptr) {
    *place = static_cast<std::int32_t>(value);
  }
}

}  // namespace

std::int32_t WavProvider::Describe(const std::uint8_t*, char* name, std::uint32_t nameSize,
                                   std::int32_t* value0, std::int32_t* value1,
                                   std::int32_t* value2) {
  if (name != nullptr && nameSize != 0) {
    const std::size_t length = std::min<std::size_t>(sizeof kName - 1, nameSize - 1);
    std::memcpy(name, kName, length);
    name[length] = '\0';
  }
  StoreIfPlace(value0, lastFormat_.nSamplesPerSec);
  StoreIfPlace(value1, lastFormat_.nChannels);
  StoreIfPlace(value2, lastFormat_.wBitsPerSample);
  return 0;
}

std::int32_t WavProvider::CreateEncoder(const WAVEFORMATEX* format, const std::uint8_t*,
                                        Encoder** encoder) {
  if (format == nullptr || encoder == nullptr || !Acceptable(*format)) {
    return kFailure;
  }
  auto* created = new (std::nothrow) WavEncoder(*format);
  if (created == nullptr) {
    return kFailure;
  }
  lastFormat_ = *format;
  *encoder = created;
  return 0;
}

std::int32_t WavProvider::DestroyEncoder(Encoder* encoder) {
  if (encoder == nullptr) {
    return kFailure;
  }
  // Every encoder handed out is a WavEncoder; its destructor closes the file.
  delete static_cast<WavEncoder*>(encoder);
  return 0;
}

}  // namespace zel5::wav
