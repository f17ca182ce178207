// Array arithmetic of the IIR library. The file's name is the source name
// that its reports carry.
#include <cstring>

#include "iir/iir_state.h"
#include "iir/nsp_error.h"

namespace zel5 {

void nspdbCopy(const double* src, double* dst, int n) {
  constexpr const char* kName = "nspdbCopy";
  constexpr const char* kFile = "nsparith";
  if (n <= 0) {
    nspRaise(kNspStsBadArg, kName, "n<=0", kFile, __LINE__);
    return;
  }
  if (src == nullptr) {
    nspRaise(kNspStsBadArg, kName, "src==0", kFile, __LINE__);
    return;
  }
  if (dst == nullptr) {
    nspRaise(kNspStsBadArg, kName, "dst==0", kFile, __LINE__);
    return;
  }
  // Bit patterns, highest index first, so that no NaN payload is touched.
  for (int i = n - 1; i >= 0; --i) {
    std::memcpy(dst + i, src + i, sizeof(double));
  }
}

}  // namespace zel5
