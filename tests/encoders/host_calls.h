// The provider and encoder operations by the slot numbers a host uses.
#pragma once

#include <cstdint>

#include "support/raw_slots.h"
#include "zel5/encoder_api.h"

namespace zel5::test {

inline std::uint32_t GetId(void* provider) {
  return CallSlot<std::uint32_t>(provider, 0);
}

inline std::int32_t Describe(void* provider, const std::uint8_t* settings, char* name,
                             std::uint32_t nameSize, std::int32_t* value0, std::int32_t* value1,
                             std::int32_t* value2) {
  return CallSlot<std::int32_t>(provider, 2, settings, name, nameSize, value0, value1, value2);
}

inline std::int32_t CreateEncoder(void* provider, const WAVEFORMATEX* format,
                                  const std::uint8_t* settings, void** encoder) {
  return CallSlot<std::int32_t>(provider, 5, format, settings, encoder);
}

inline std::int32_t DestroyEncoder(void* provider, void* encoder) {
  return CallSlot<std::int32_t>(provider, 6, encoder);
}

inline std::int32_t Open(void* encoder, const char* path) {
  return CallSlot<std::int32_t>(encoder, 0, path);
}

inline std::int32_t Close(void* encoder) {
  return CallSlot<std::int32_t>(encoder, 1);
}

inline std::int32_t WriteBlock(void* encoder, const void* samples, std::uint32_t byteCount) {
  return CallSlot<std::int32_t>(encoder, 2, samples, byteCount);
}

inline std::int32_t QueryCounterA(void* encoder, std::uint32_t* value) {
  return CallSlot<std::int32_t>(encoder, 3, value);
}

inline std::int32_t QueryCounterB(void* encoder, std::uint32_t* value) {
  return CallSlot<std::int32_t>(encoder, 4, value);
}

inline std::int32_t GetInfo(void* encoder, EncoderInfo* info) {
  return CallSlot<std::int32_t>(encoder, 7, info);
}

}  // namespace zel5::test
