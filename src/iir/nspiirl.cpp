// The tap- and delay-level IIR routines and the filtering kernel. The file's
// name is the source name that their reports carry.
//
// The kernel evaluates the transposed direct form II recurrence and, for
// orders of 2 and more, advances two samples per step. The grouping of every
// sum below is part of the results: it fixes the last bits, so it must not be
// rearranged (and the build must not contract products into FMAs).
#include "iir/iir_state.h"
#include "iir/nsp_error.h"

namespace zel5 {
namespace {

constexpr const char* kFile = "nspiirl";

struct Coefficients {
  const double* b;  // b[0..N]
  const double* a;  // a[1..N]; a[0] is the implicit 1
};

Coefficients CoefficientsOf(const IirTapState& tapSt) {
  return {tapSt.taps, tapSt.taps + tapSt.order};
}

void SingleStep(const Coefficients& c, int order, double* d, const double* in, double* out, int i) {
  const double x = in[i];
  const double y = c.b[0] * x + d[0];
  out[i] = y;
  for (int k = 1; k < order; ++k) {
    d[k - 1] = (c.b[k] * x - c.a[k] * y) + d[k];
  }
  d[order - 1] = c.b[order] * x - c.a[order] * y;
}

// Order 2, the order of every low-pass stage: the delay values stay in
// locals for the whole block.
void FilterOrder2(const Coefficients& c, double* d, const double* in, double* out, int count) {
  const double b0 = c.b[0], b1 = c.b[1], b2 = c.b[2];
  const double a1 = c.a[1], a2 = c.a[2];
  double d0 = d[0], d1 = d[1];
  const int pairedEnd = count & ~1;
  for (int i = 0; i < pairedEnd; i += 2) {
    const double x0 = in[i];
    const double x1 = in[i + 1];
    const double y0 = b0 * x0 + d0;
    const double y1 = ((b1 * x0 + b0 * x1) - a1 * y0) + d1;
    out[i] = y0;
    out[i + 1] = y1;
    d0 = ((b1 * x1 - a1 * y1) + b2 * x0) - a2 * y0;
    d1 = b2 * x1 - a2 * y1;
  }
  if (pairedEnd != count) {
    const double x = in[pairedEnd];
    const double y = b0 * x + d0;
    out[pairedEnd] = y;
    d0 = (b1 * x - a1 * y) + d1;
    d1 = b2 * x - a2 * y;
  }
  d[0] = d0;
  d[1] = d1;
}

void FilterPaired(const Coefficients& c, int order, double* d, const double* in, double* out,
                  int count) {
  const int n = order;
  const double b0 = c.b[0], b1 = c.b[1], bLast = c.b[n], bBeforeLast = c.b[n - 1];
  const double a1 = c.a[1], aLast = c.a[n], aBeforeLast = c.a[n - 1];
  const int pairedEnd = count & ~1;
  for (int i = 0; i < pairedEnd; i += 2) {
    const double x0 = in[i];
    const double x1 = in[i + 1];
    const double y0 = b0 * x0 + d[0];
    const double y1 = ((b1 * x0 + b0 * x1) - a1 * y0) + d[1];
    out[i] = y0;
    out[i + 1] = y1;
    for (int k = 2; k < n; ++k) {
      d[k - 2] = (((c.b[k - 1] * x1 - c.a[k - 1] * y1) + c.b[k] * x0) - c.a[k] * y0) + d[k];
    }
    d[n - 2] = ((bBeforeLast * x1 - aBeforeLast * y1) + bLast * x0) - aLast * y0;
    d[n - 1] = bLast * x1 - aLast * y1;
  }
  if (pairedEnd != count) {
    SingleStep(c, n, d, in, out, pairedEnd);
  }
}

}  // namespace

void nspdIirlInit(int iirType, double* taps, int order, IirTapState* tapStPtr) {
  constexpr const char* kName = "nspdIirlInit";
  if (tapStPtr == nullptr) {
    nspRaise(kNspStsBadArg, kName, "tapStPtr==0", kFile, __LINE__);
    return;
  }
  if (taps == nullptr) {
    nspRaise(kNspStsBadArg, kName, "taps==0", kFile, __LINE__);
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
  tapStPtr->iirType = iirType;
  tapStPtr->taps = taps;
  tapStPtr->form = 0;
  tapStPtr->order = order;

  const double a0 = taps[order + 1];
  // Written so that a NaN takes the refusal too.
  if (!(a0 < 0.0 || a0 > 0.0)) {
    nspRaise(kNspStsBadArg, kName, "taps[order+1] equals zero", kFile, __LINE__);
    return;
  }
  const double f = 1.0 / a0;
  taps[0] = taps[0] * f;
  for (int k = 1; k <= order; ++k) {
    taps[k] = taps[k] * f;
    taps[order + k] = taps[order + k + 1] * f;
  }
}

void nspdIirlInitDlyl(const IirTapState* tapStPtr, double* dlyl, IirDelayState* dlyStPtr) {
  constexpr const char* kName = "nspdIirlInitDlyl";
  if (tapStPtr == nullptr) {
    nspRaise(kNspStsBadArg, kName, "tapStPtr==0", kFile, __LINE__);
  }
  if (dlyStPtr == nullptr) {
    nspRaise(kNspStsBadArg, kName, "dlyStPtr==0", kFile, __LINE__);
  }
  if (nspReadStatus() < 0) {
    return;
  }
  if (tapStPtr->taps == nullptr) {
    nspRaise(kNspStsBadArg, kName, "structure *tapStPtr wasn't initialized", kFile, __LINE__);
  }
  if (tapStPtr->form < 0 || tapStPtr->form > 3) {
    nspRaise(kNspStsBadArg, kName, "structure *tapStPtr wasn't initialized", kFile, __LINE__);
  }
  if (tapStPtr->order > 0 && dlyl == nullptr) {
    nspRaise(kNspStsBadArg, kName, "dlyl==0", kFile, __LINE__);
  }
  if (nspReadStatus() < 0) {
    return;
  }
  dlyStPtr->dlyl = dlyl;
  for (int k = 0; k < tapStPtr->order; ++k) {
    dlyl[k] = 0.0;
  }
}

void nspdbIirl(const IirTapState* tapStPtr, IirDelayState* dlyStPtr, const double* inSamps,
               double* outSamps, int numIters) {
  constexpr const char* kName = "nspdbIirl";
  if (tapStPtr == nullptr) {
    nspRaise(kNspStsBadArg, kName, "tapStPtr==0", kFile, __LINE__);
  }
  if (dlyStPtr == nullptr) {
    nspRaise(kNspStsBadArg, kName, "dlyStPtr==0", kFile, __LINE__);
  }
  if (inSamps == nullptr) {
    nspRaise(kNspStsBadArg, kName, "inSamps==0", kFile, __LINE__);
  }
  if (outSamps == nullptr) {
    nspRaise(kNspStsBadArg, kName, "outSamps==0", kFile, __LINE__);
  }
  if (nspReadStatus() < 0) {
    return;
  }
  // A negative order was never stored by an initialiser.
  if (tapStPtr->taps == nullptr || tapStPtr->order < 0) {
    nspRaise(kNspStsBadArg, kName, "structure *tapStPtr wasn't initialized", kFile, __LINE__);
  }
  if (tapStPtr->form < 0 || tapStPtr->form > 3) {
    nspRaise(kNspStsBadArg, kName, "structure *tapStPtr wasn't initialized", kFile, __LINE__);
  } else if (tapStPtr->form == 2) {
    // Form 2 selects another recurrence that no initialiser here stores.
    nspRaise(kNspStsUnsupported, kName, "form 2 is not supported", kFile, __LINE__);
  }
  if (tapStPtr->order > 0 && dlyStPtr->dlyl == nullptr) {
    nspRaise(kNspStsBadArg, kName, "structure *dlyStPtr wasn't initialized", kFile, __LINE__);
  }
  if (numIters < 0) {
    nspRaise(kNspStsBadArg, kName, "numIters < 0", kFile, __LINE__);
  }
  if (nspReadStatus() < 0) {
    return;
  }

  const int order = tapStPtr->order;
  const Coefficients c = CoefficientsOf(*tapStPtr);
  double* d = dlyStPtr->dlyl;
  if (order == 0) {
    for (int i = 0; i < numIters; ++i) {
      outSamps[i] = c.b[0] * inSamps[i];
    }
  } else if (order == 1) {
    for (int i = 0; i < numIters; ++i) {
      SingleStep(c, order, d, inSamps, outSamps, i);
    }
  } else if (order == 2) {
    FilterOrder2(c, d, inSamps, outSamps, numIters);
  } else {
    FilterPaired(c, order, d, inSamps, outSamps, numIters);
  }
}

}  // namespace zel5
