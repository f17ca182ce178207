#include "common/number_text.h"

#include <charconv>
#include <cmath>
#include <stdexcept>

namespace zel5::tools {
namespace {

// 86400 rather than 86400.000000 or 8.64e+04.
std::string Shortest(double value) {
  char text[400];
  const auto result = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed);
  return std::string(text, result.ptr);
}

template <typename T>
bool ParseWhole(const std::string& text, T& value) {
  const char* end = text.data() + text.size();
  const auto [stop, error] = std::from_chars(text.data(), end, value);
  return error == std::errc() && stop == end && !text.empty();
}

}  // namespace

std::uint64_t ParseInteger(const std::string& text, const std::string& what, std::uint64_t low,
                           std::uint64_t high) {
  std::uint64_t value = 0;
  if (!ParseWhole(text, value) || value < low || value > high) {
    throw std::runtime_error(what + " must be a whole number from " + std::to_string(low) + " to " +
                             std::to_string(high) + ", not '" + text + "'");
  }
  return value;
}

double ParseDecimal(const std::string& text, const std::string& what, double low, double high) {
  double value = 0.0;
  if (!ParseWhole(text, value) || !std::isfinite(value) || value < low || value > high) {
    throw std::runtime_error(what + " must be a number from " + Shortest(low) + " to " +
                             Shortest(high) + ", not '" + text + "'");
  }
  return value;
}

}  // namespace zel5::tools
