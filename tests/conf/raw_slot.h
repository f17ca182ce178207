// Calls a virtual operation by its slot index through the object's raw
// table, as a host built by another compiler does: a plain function taking
// the object first.
#pragma once

#include <cstddef>

namespace zel5::conf::testing {

template <typename Result, typename... Args>
Result CallSlot(void* object, std::size_t slot, Args... args) {
  void** table = *static_cast<void***>(object);
  using Operation = Result (*)(void*, Args...);
  return reinterpret_cast<Operation>(table[slot])(object, args...);
}

}  // namespace zel5::conf::testing
