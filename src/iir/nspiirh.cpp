// The state-level IIR routines. The file's name is the source name that
// their reports carry, and the lines they report are this file's.
#include <cstdint>
#include <limits>

#include "iir/aligned_block.h"
#include "iir/iir_state.h"
#include "iir/nsp_error.h"

namespace zel5 {
namespace {

constexpr const char* kFile = "nspiirh";

}  // namespace

void nspdIirInit(int iirType, const double* tapVals, int order, IirState* statePtr) {
  constexpr const char* kName = "nspdIirInit";
  if (statePtr == nullptr) {
    nspRaise(kNspStsBadArg, kName, "statePtr==0", kFile, __LINE__);
    return;
  }
  if (tapVals == nullptr) {
    nspRaise(kNspStsBadArg, kName, "tapVals==0", kFile, __LINE__);
    return;
  }
  if (order < 0) {
    nspRaise(kNspStsBadArg, kName, "order < 0", kFile, __LINE__);
    return;
  }
  if (iirType != 0 && iirType != 1) {
    nspRaise(kNspStsBadArg, kName, "iirType is out of range", kFile, __LINE__);
    return;
  }
  if (statePtr->initMark == kIirInitMark) {
    nspRaise(kNspStsBadArg, kName,
             "IIR filter state structure is already initialized! Use nspIirFree to free it", kFile,
             __LINE__);
    return;
  }

  // 2*order+2 taps; an order too large for that count is an allocation that
  // cannot be had.
  const std::int64_t tapCount = 2 * static_cast<std::int64_t>(order) + 2;
  double* taps = tapCount <= std::numeric_limits<int>::max()
                     ? nspdAlignedAlloc(static_cast<int>(tapCount))
                     : nullptr;
  double* dlyl = nspdAlignedAlloc(order);
  if (taps == nullptr || dlyl == nullptr) {
    nspRaise(kNspStsNoMem, kName, "insufficiency of memory for IIR filter state", kFile, __LINE__);
    nspAlignedFree(taps);
    nspAlignedFree(dlyl);
    return;
  }
  statePtr->initMark = kIirInitMark;
  nspdbCopy(tapVals, taps, static_cast<int>(tapCount));
  nspdIirlInit(iirType, taps, order, &statePtr->tapSt);
  if (nspReadStatus() != kNspStsOk) {
    nspRaise(kNspStsBacktrace, kName, nullptr, kFile, __LINE__);
    nspAlignedFree(taps);
    nspAlignedFree(dlyl);
    statePtr->initMark = 0;
    return;
  }
  nspdIirlInitDlyl(&statePtr->tapSt, dlyl, &statePtr->dlySt);
}

void nspIirFree(IirState* statePtr) {
  constexpr const char* kName = "nspIirFree";
  if (statePtr == nullptr) {
    nspRaise(kNspStsBadArg, kName, "statePtr==0", kFile, __LINE__);
    return;
  }
  if (statePtr->initMark != kIirInitMark) {
    nspRaise(kNspStsBadArg, kName, "IIR filter wasn't initialized", kFile, __LINE__);
    return;
  }
  // The pointers stay as they were; the mark alone says they are stale.
  nspAlignedFree(statePtr->tapSt.taps);
  nspAlignedFree(statePtr->dlySt.dlyl);
  statePtr->initMark = 0;
}

void nspdbIir(IirState* statePtr, const double* inSamps, double* outSamps, int numIters) {
  constexpr const char* kName = "nspdbIir";
  if (statePtr == nullptr) {
    nspRaise(kNspStsBadArg, kName, "statePtr==0", kFile, __LINE__);
    return;
  }
  if (statePtr->initMark != kIirInitMark) {
    nspRaise(kNspStsBadArg, kName, "IIR filter wasn't initialized", kFile, __LINE__);
    return;
  }
  nspdbIirl(&statePtr->tapSt, &statePtr->dlySt, inSamps, outSamps, numIters);
  if (nspReadStatus() != kNspStsOk) {
    nspRaise(kNspStsBacktrace, kName, nullptr, kFile, __LINE__);
  }
}

}  // namespace zel5
