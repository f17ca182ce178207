// Numbers typed on a command line, read strictly: the whole text or nothing.
#pragma once

#include <cstdint>
#include <string>

namespace zel5::tools {

// A decimal integer in [low, high]; otherwise throws std::runtime_error
// naming `what` (the option) and the allowed range.
std::uint64_t ParseInteger(const std::string& text, const std::string& what, std::uint64_t low,
                           std::uint64_t high);

// A finite decimal number in [low, high]; otherwise throws like ParseInteger.
double ParseDecimal(const std::string& text, const std::string& what, double low, double high);

}  // namespace zel5::tools
