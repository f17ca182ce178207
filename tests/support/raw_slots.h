// Calls an object's virtual operation by its slot index, through the raw
// table, as a host built with another compiler does.
#pragma once

#include <cstddef>

namespace zel5::test {

template <typename Result, typename... Args>
Result CallSlot(void* object, std::size_t slot, Args... args) {
  void** table = *static_cast<void***>(object);
  using Operation = Result (*)(void*, Args...);
  return reinterpret_cast<Operation>(table[slot])(object, args...);
}

}  // namespace zel5::test
