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

/* Marks a module's entry points, the only names it exports. */
#if defined(_WIN32)
#define ZEL5_EXPORT __declspec(dllexport)
#else
#define ZEL5_EXPORT __attribute__((visibility("default")))
#endif

#include <stddef.h>
#include <stdint.h>

#endif
