#include "iir/aligned_block.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>

namespace zel5 {
namespace {

constinit NspHeap heap{&std::malloc, &std::free};

// Room for a whole pointer below the aligned address: 4 bytes on 32-bit
// builds, 8 on 64-bit ones.
constexpr std::size_t kSlot = sizeof(void*);

}  // namespace

double* nspdAlignedAlloc(int n) {
  if (n < 0) {
    return nullptr;
  }
  const std::size_t count = static_cast<std::size_t>(n);
  if (count > (std::numeric_limits<std::size_t>::max() - kNspAlignment - kSlot) / sizeof(double)) {
    return nullptr;
  }
  void* block = heap.allocate(count * sizeof(double) + kNspAlignment + kSlot);
  if (block == nullptr) {
    return nullptr;
  }
  const std::uintptr_t start = reinterpret_cast<std::uintptr_t>(block);
  const std::uintptr_t aligned = (start + kSlot + kNspAlignment - 1) & ~(kNspAlignment - 1);
  std::memcpy(reinterpret_cast<void*>(aligned - kSlot), &block, kSlot);
  return reinterpret_cast<double*>(aligned);
}

void nspAlignedFree(double* p) {
  if (p == nullptr) {
    return;
  }
  void* block = nullptr;
  std::memcpy(&block, reinterpret_cast<unsigned char*>(p) - kSlot, kSlot);
  heap.release(block);
}

NspHeap nspSetHeap(NspHeap replacement) {
  const NspHeap previous = heap;
  heap = replacement;
  return previous;
}

}  // namespace zel5
