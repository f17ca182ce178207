#include "wav_encoder.h"

#include <array>
#include <cstring>

namespace zel5::wav {
namespace {

constexpr std::int32_t kFailure = -1;
constexpr std::uint32_t kHeaderBytes = 44;
constexpr long kRiffSizeOffset = 4;
constexpr long kDataSizeOffset = 40;
// The RIFF size counts everything after its own 8 bytes: 36 header bytes and the data.
constexpr std::uint32_t kMaxDataBytes = UINT32_MAX - (kHeaderBytes - 8);

void PutLittleEndian(std::uint8_t* place, std::uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) {
    place[i] = static_cast<std::uint8_t>(value >> (8 * i));
  }
}

}  // namespace

bool WavEncoder::WriteHeader() {
  std::array<std::uint8_t, kHeaderBytes> header{};
  std::memcpy(&header[0], "RIFF", 4);
  PutLittleEndian(&header[4], kHeaderBytes - 8, 4);
  std::memcpy(&header[8], "WAVEfmt ", 8);
  PutLittleEndian(&header[16], 16, 4);
  PutLittleEndian(&header[20], format_.wFormatTag, 2);
  PutLittleEndian(&header[22], format_.nChannels, 2);
  PutLittleEndian(&header[24], format_.nSamplesPerSec, 4);
  PutLittleEndian(&header[28], format_.nAvgBytesPerSec, 4);
  PutLittleEndian(&header[32], format_.nBlockAlign, 2);
  PutLittleEndian(&header[34], format_.wBitsPerSample, 2);
  std::memcpy(&header[36], "data", 4);
  PutLittleEndian(&header[40], 0, 4);
  return std::fwrite(header.data(), 1, header.size(), file_.get()) == header.size() &&
         std::fflush(file_.get()) == 0;
}

bool WavEncoder::UpdateSizes() {
  std::uint8_t size[4];
  std::FILE* file = file_.get();
  PutLittleEndian(size, dataBytes_ + (kHeaderBytes - 8), 4);
  if (std::fseek(file, kRiffSizeOffset, SEEK_SET) != 0 || std::fwrite(size, 1, 4, file) != 4) {
    return false;
  }
  PutLittleEndian(size, dataBytes_, 4);
  return std::fseek(file, kDataSizeOffset, SEEK_SET) == 0 && std::fwrite(size, 1, 4, file) == 4 &&
         std::fseek(file, 0, SEEK_END) == 0 && std::fflush(file) == 0;
}

std::int32_t WavEncoder::Open(const char* path) {
  try {
    Close();
    if (path == nullptr) {
      return kFailure;
    }
    file_.reset(std::fopen(path, "wb"));
    dataBytes_ = 0;
    failed_ = false;
    if (file_ == nullptr) {
      return kFailure;
    }
    if (!WriteHeader()) {
      file_.reset();
      return kFailure;
    }
    return 0;
  } catch (...) {
    return kFailure;
  }
}

std::int32_t WavEncoder::Close() {
  try {
    if (file_ == nullptr) {
      return 0;
    }
    const bool updated = failed_ || UpdateSizes();
    file_.reset();
    return updated ? 0 : kFailure;
  } catch (...) {
    return kFailure;
  }
}

std::int32_t WavEncoder::AppendFrames(const void* samples, std::uint32_t byteCount) {
  const std::uint32_t wholeBytes = byteCount - byteCount % format_.nBlockAlign;
  if (wholeBytes > kMaxDataBytes - dataBytes_) {
    failed_ = true;
    return kFailure;
  }
  if (wholeBytes == 0) {
    return 0;
  }
  if (std::fwrite(samples, 1, wholeBytes, file_.get()) != wholeBytes) {
    failed_ = true;
    return kFailure;
  }
  dataBytes_ += wholeBytes;
  if (!UpdateSizes()) {
    failed_ = true;
    return kFailure;
  }
  return 0;
}

std::int32_t WavEncoder::WriteBlock(const void* samples, std::uint32_t byteCount) {
  try {
    if (file_ == nullptr || failed_ || (samples == nullptr && byteCount != 0)) {
      return kFailure;
    }
    return AppendFrames(samples, byteCount);
  } catch (...) {
    return kFailure;
  }
}

std::int32_t WavEncoder::QueryCounterA(std::uint32_t* value) {
  if (value == nullptr) {
    return kFailure;
  }
  *value = dataBytes_ / format_.nBlockAlign;
  return 0;
}

std::int32_t WavEncoder::QueryCounterB(std::uint32_t* value) {
  if (value == nullptr) {
    return kFailure;
  }
  *value = dataBytes_;
  return 0;
}

std::int32_t WavEncoder::GetInfo(EncoderInfo* info) {
  // A record smaller than this one has no room for the extension field.
  if (info == nullptr || info->size < sizeof(EncoderInfo)) {
    return kFailure;
  }
  std::memset(info->extension, 0, sizeof info->extension);
  std::memcpy(info->extension, "wav", 3);
  return 0;
}

}  // namespace zel5::wav
