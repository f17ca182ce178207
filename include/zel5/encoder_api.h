/* The contract of an encoder library: two plain C exports, looked up by
 * name, that hand out providers; a provider makes encoders. Both objects are
 * called through their tables of virtual operations by slot index, so every
 * listed operation sits at its slot and unused slots are placeholders. No
 * interface has a virtual destructor: compilers disagree on how many slots
 * one takes. */
#ifndef ZEL5_ENCODER_API_H
#define ZEL5_ENCODER_API_H

#include "zel5/abi.h"
#include "zel5/wave_format.h"

#define ZEL5_ENCODER_SETTINGS_SIZE 1024
#define ZEL5_ENCODER_NAME_SIZE 260
#define ZEL5_ENCODER_INFO_SIZE 152

/* Filled by an encoder's GetInfo. The plug-in zero-fills it and sets size. */
typedef struct EncoderInfo {
  uint32_t size;       /* 152 */
  uint32_t reserved4;  /* the encoder's; not read */
  char extension[144]; /* the output file's extension, no dot, NUL-terminated */
} EncoderInfo;

ZEL5_STATIC_ASSERT(sizeof(EncoderInfo) == ZEL5_ENCODER_INFO_SIZE, "EncoderInfo is 152 bytes");
ZEL5_STATIC_ASSERT(offsetof(EncoderInfo, size) == 0, "size at 0");
ZEL5_STATIC_ASSERT(offsetof(EncoderInfo, reserved4) == 4, "reserved at 4");
ZEL5_STATIC_ASSERT(offsetof(EncoderInfo, extension) == 8, "extension at 8");

#ifdef __cplusplus

namespace zel5 {

class Encoder {
 public:
  /* Slot 0: 0 on success. */
  virtual int32_t Open(const char* path) = 0;
  virtual int32_t Close() = 0;
  /* Slot 2: 16-bit PCM of the format the encoder was made with, channels
   * interleaved. */
  virtual int32_t WriteBlock(const void* samples, uint32_t byteCount) = 0;
  virtual int32_t QueryCounterA(uint32_t* value) = 0;
  virtual int32_t QueryCounterB(uint32_t* value) = 0;
  virtual void Slot5() {}
  virtual void Slot6() {}
  virtual int32_t GetInfo(EncoderInfo* info) = 0;

 protected:
  ~Encoder() = default;
};

class EncoderProvider {
 public:
  /* Slot 0: compared with the providerId a controller asks for. */
  virtual uint32_t GetId() = 0;
  virtual void Slot1() {}
  /* Slot 2: a NUL-terminated name within nameSize bytes and three values. */
  virtual int32_t Describe(const uint8_t* settings, char* name, uint32_t nameSize, int32_t* value0,
                           int32_t* value1, int32_t* value2) = 0;
  virtual void Slot3() {}
  virtual void Slot4() {}
  /* Slot 5: 0 on success with *encoder set. */
  virtual int32_t CreateEncoder(const WAVEFORMATEX* format, const uint8_t* settings,
                                Encoder** encoder) = 0;
  virtual int32_t DestroyEncoder(Encoder* encoder) = 0;

 protected:
  ~EncoderProvider() = default;
};

}  // namespace zel5

typedef zel5::EncoderProvider* EncoderProviderHandle;
#else
typedef struct EncoderProvider* EncoderProviderHandle;
#endif

/* The library's exports. Providers belong to the library and stay valid
 * until it is unloaded. */
typedef uint32_t (*GetProviderCountFunction)(void);
typedef EncoderProviderHandle (*GetProviderFunction)(uint32_t index);

#endif
