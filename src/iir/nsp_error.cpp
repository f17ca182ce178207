#include "iir/nsp_error.h"

#include <cstdlib>

namespace zel5 {
namespace {

// Constant-initialised, so the values are in place before any code runs.
constinit NspErrorContext errorContext{kNspStsOk, 0, &nspDefaultHandler};

}  // namespace

NspErrorContext* nspContext() {
  return &errorContext;
}

int nspReadStatus() {
  return nspContext()->status;
}

void nspWriteStatus(int status) {
  nspContext()->status = status;
}

int nspReadErrorMode() {
  return nspContext()->mode;
}

int nspRaise(int status, const char* function, const char* context, const char* file, int line) {
  // Backtrace and autotrace are reports about an earlier status; they must not
  // overwrite it.
  if (status != kNspStsBacktrace && status != kNspStsAutoTrace) {
    nspWriteStatus(status);
    if (status == kNspStsOk) {
      return 0;
    }
  }
  return nspContext()->handler(status, function, context, file, line);
}

int nspDefaultHandler(int status, const char*, const char*, const char*, int) {
  if (nspReadErrorMode() == 0) {
    std::exit(1);
  }
  return status;
}

const char* nspStatusText(int status) {
  static constexpr const char* kTexts[] = {
      "No Error",
      "Backtrace",
      "Unknown error or status code",
      "Internal error (bad state)",
      "Out of memory",
      "Bad argument",
      "Unsupported function",
      "Iteration convergence failed",
      "Autotrace call",
      "Unknown error or status code",
      "Null pointer",
      "Unknown error or status code",
      "Bad pointer",
      "Bad data structure",
      "Bad vector length",
  };
  constexpr int kLowest = -(static_cast<int>(sizeof(kTexts) / sizeof(kTexts[0])) - 1);
  if (status > 0 || status < kLowest) {
    return "Unknown error or status code";
  }
  return kTexts[-status];
}

int nspSetErrorMode(int mode) {
  const int previous = nspContext()->mode;
  nspContext()->mode = mode;
  return previous;
}

NspErrorHandler nspSetErrorHandler(NspErrorHandler handler) {
  const NspErrorHandler previous = nspContext()->handler;
  nspContext()->handler = handler;
  return previous;
}

}  // namespace zel5
