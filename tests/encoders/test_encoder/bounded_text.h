// Text into a caller's buffer of a given size: cut to size - 1 characters and
// always NUL-terminated; nothing is written into a null or empty buffer.
#pragma once

#include <cstddef>
#include <cstring>

namespace zel5::test_encoder {

inline void CopyBounded(char* destination, std::size_t size, const char* text) {
  if (destination == nullptr || size == 0) {
    return;
  }
  const std::size_t length = strnlen(text, size - 1);
  std::memcpy(destination, text, length);
  destination[length] = '\0';
}

}  // namespace zel5::test_encoder
