/* A block of audio as doubles, full scale -1.0 to 1.0, the form in which the
 * host hands over its buffers. */
#ifndef ZEL5_SAMPLE_BLOCK_H
#define ZEL5_SAMPLE_BLOCK_H

#include "zel5/abi.h"

typedef struct SampleBlock {
  uint32_t count; /* frames */
  double* left;   /* count doubles: the first or only channel */
  double* right;  /* count doubles, or null for one channel */
} SampleBlock;

ZEL5_STATIC_ASSERT(offsetof(SampleBlock, count) == 0, "count at 0");
ZEL5_STATIC_ASSERT(offsetof(SampleBlock, left) == sizeof(void*), "left after count");
ZEL5_STATIC_ASSERT(offsetof(SampleBlock, right) == 2 * sizeof(void*), "right after left");
ZEL5_STATIC_ASSERT(sizeof(SampleBlock) == 3 * sizeof(void*), "SampleBlock is three words");

#endif
