// Texts in the fixed 260-byte fields of the control block. A field is read
// only up to its end: one without a NUL counts as cut at 259 characters, so
// a faulty controller can never make the plug-in read past it.
#pragma once

#include <cstddef>
#include <cstring>
#include <string>

#include "zel5/control_protocol.h"

namespace zel5 {

inline std::string FieldText(const char (&field)[ZEL5_TEXT_FIELD]) {
  const void* end = std::memchr(field, '\0', ZEL5_TEXT_FIELD - 1);
  const std::size_t length = end != nullptr ? static_cast<const char*>(end) - field
                                            : static_cast<std::size_t>(ZEL5_TEXT_FIELD - 1);
  return std::string(field, length);
}

// Stores text with its NUL; false (field unchanged) when it does not fit.
inline bool StoreFieldText(char (&field)[ZEL5_TEXT_FIELD], const std::string& text) {
  if (text.size() >= ZEL5_TEXT_FIELD) {
    return false;
  }
  std::memcpy(field, text.c_str(), text.size() + 1);
  return true;
}

// Stores text cut to 259 characters and its NUL.
inline void StoreFieldTextCut(char (&field)[ZEL5_TEXT_FIELD], const std::string& text) {
  const std::size_t length = text.size() < ZEL5_TEXT_FIELD ? text.size() : ZEL5_TEXT_FIELD - 1;
  std::memcpy(field, text.data(), length);
  field[length] = '\0';
}

}  // namespace zel5
