/* The PCM format record that every stream format, the mix format and the
 * announced format are held in. Its layout is the 18-byte Windows record, so
 * it is packed: a controller reads it straight out of shared memory. */
#ifndef ZEL5_WAVE_FORMAT_H
#define ZEL5_WAVE_FORMAT_H

#include "zel5/abi.h"

/* The Windows headers define the same record under the same guard; whichever
 * comes first wins and both have this layout. */
#ifndef _WAVEFORMATEX_
#define _WAVEFORMATEX_
#pragma pack(push, 1)
typedef struct tWAVEFORMATEX {
  uint16_t wFormatTag;
  uint16_t nChannels;
  uint32_t nSamplesPerSec;
  uint32_t nAvgBytesPerSec;
  uint16_t nBlockAlign;
  uint16_t wBitsPerSample;
  uint16_t cbSize;
} WAVEFORMATEX;
#pragma pack(pop)
#endif

#define ZEL5_WAVE_FORMAT_PCM 1

ZEL5_STATIC_ASSERT(sizeof(WAVEFORMATEX) == 18, "WAVEFORMATEX is 18 bytes");
ZEL5_STATIC_ASSERT(offsetof(WAVEFORMATEX, wFormatTag) == 0, "wFormatTag at 0");
ZEL5_STATIC_ASSERT(offsetof(WAVEFORMATEX, nChannels) == 2, "nChannels at 2");
ZEL5_STATIC_ASSERT(offsetof(WAVEFORMATEX, nSamplesPerSec) == 4, "nSamplesPerSec at 4");
ZEL5_STATIC_ASSERT(offsetof(WAVEFORMATEX, nAvgBytesPerSec) == 8, "nAvgBytesPerSec at 8");
ZEL5_STATIC_ASSERT(offsetof(WAVEFORMATEX, nBlockAlign) == 12, "nBlockAlign at 12");
ZEL5_STATIC_ASSERT(offsetof(WAVEFORMATEX, wBitsPerSample) == 14, "wBitsPerSample at 14");
ZEL5_STATIC_ASSERT(offsetof(WAVEFORMATEX, cbSize) == 16, "cbSize at 16");

#endif
