// Double-precision IIR filter states and the routines that set them up, run
// blocks through them and tear them down. Refusals go through nspRaise.
#pragma once

#include <cstdint>

namespace zel5 {

// Filter H(z) = (b0 + ... + bN z^-N) / (a0 + ... + aN z^-N). After
// initialisation taps[0..N] hold bk/a0 and taps[N+k] holds ak/a0 (k >= 1).
struct IirTapState {
  std::int32_t order;
  double* taps;
  std::int32_t iirType;
  std::int32_t form;  // recurrence selector; only the direct form 0 is built
};

struct IirDelayState {
  double* dlyl;  // order doubles
};

inline constexpr std::int32_t kIirInitMark = 31725;

struct IirState {
  IirTapState tapSt;
  IirDelayState dlySt;
  std::int32_t initMark;  // kIirInitMark while the state owns its buffers
};

void nspdIirInit(int iirType, const double* tapVals, int order, IirState* statePtr);
void nspIirFree(IirState* statePtr);
void nspdbIir(IirState* statePtr, const double* inSamps, double* outSamps, int numIters);

void nspdIirlInit(int iirType, double* taps, int order, IirTapState* tapStPtr);
void nspdIirlInitDlyl(const IirTapState* tapStPtr, double* dlyl, IirDelayState* dlyStPtr);
void nspdbIirl(const IirTapState* tapStPtr, IirDelayState* dlyStPtr, const double* inSamps,
               double* outSamps, int numIters);

void nspdbCopy(const double* src, double* dst, int n);

}  // namespace zel5
