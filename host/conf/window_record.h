// How a registered window is written in its registry file: "0x", hex digits
// and a newline, nothing else.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace zel5::conf {

std::string FormatWindowRecord(std::uintptr_t window);

// The window in a record; 0 (none) for anything that is not exactly one
// record of a value that fits a window handle of this process.
std::uintptr_t ParseWindowRecord(std::string_view text);

}  // namespace zel5::conf
