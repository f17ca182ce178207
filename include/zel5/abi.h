/* Building blocks shared by every public header: C and C++ compilers of any
 * vendor read these headers, so they hold only plain declarations. */
#ifndef ZEL5_ABI_H
#define ZEL5_ABI_H

#ifdef __cplusplus
#define ZEL5_STATIC_ASSERT(condition, message) static_assert(condition, message)
#define ZEL5_EXTERN_C extern "C"
#else
#define ZEL5_STATIC_ASSERT(condition, message) _Static_assert(condition, message)
#define ZEL5_EXTERN_C
#endif

#include <stddef.h>
#include <stdint.h>

#endif
