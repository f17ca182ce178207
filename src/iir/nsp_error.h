// Process-wide status, error mode and handler through which the IIR routines
// report refused arguments and failures.
#pragma once

#include <cstdint>

namespace zel5 {

// status, function name, context text (or null), source-file name, line.
using NspErrorHandler = int (*)(int status, const char* function, const char* context,
                                const char* file, int line);

struct NspErrorContext {
  std::int32_t status;
  std::int32_t mode;  // 0: a raised error ends the process; otherwise the handler returns
  NspErrorHandler handler;
};

inline constexpr int kNspStsOk = 0;
inline constexpr int kNspStsBacktrace = -1;
inline constexpr int kNspStsNoMem = -4;
inline constexpr int kNspStsBadArg = -5;
inline constexpr int kNspStsUnsupported = -6;
inline constexpr int kNspStsAutoTrace = -8;

NspErrorContext* nspContext();
int nspReadStatus();
void nspWriteStatus(int status);
int nspReadErrorMode();
int nspRaise(int status, const char* function, const char* context, const char* file, int line);
int nspDefaultHandler(int status, const char* function, const char* context, const char* file,
                      int line);
const char* nspStatusText(int status);

// The system itself keeps mode 0 and the default handler; these exist so that
// tests can watch refusals under a handler that returns. Each gives back the
// value it replaced.
int nspSetErrorMode(int mode);
NspErrorHandler nspSetErrorHandler(NspErrorHandler handler);

}  // namespace zel5
