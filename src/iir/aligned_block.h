// 32-byte aligned blocks of doubles for the IIR taps and delay lines.
#pragma once

#include <cstddef>

namespace zel5 {

inline constexpr std::size_t kNspAlignment = 32;

// Returns a multiple of 32 with room for n doubles, or null. The word just
// below the result holds the start of the underlying heap block.
double* nspdAlignedAlloc(int n);
void nspAlignedFree(double* p);

// The heap the aligned blocks come from. Tests swap it to count requests and
// to make them fail; the system keeps the C heap.
struct NspHeap {
  void* (*allocate)(std::size_t bytes);
  void (*release)(void* block);
};
NspHeap nspSetHeap(NspHeap heap);

}  // namespace zel5
