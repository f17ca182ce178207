#include "conf/window_record.h"

#include <charconv>

namespace zel5::conf {
namespace {

constexpr std::string_view kPrefix = "0x";
constexpr char kEnd = '\n';

}  // namespace

std::string FormatWindowRecord(std::uintptr_t window) {
  char digits[2 * sizeof(std::uintptr_t)];
  const auto result = std::to_chars(std::begin(digits), std::end(digits), window, 16);
  return std::string(kPrefix) + std::string(digits, result.ptr) + kEnd;
}

std::uintptr_t ParseWindowRecord(std::string_view text) {
  if (!text.starts_with(kPrefix) || !text.ends_with(kEnd)) {
    return 0;
  }
  const std::string_view digits = text.substr(kPrefix.size(), text.size() - kPrefix.size() - 1);
  std::uintptr_t window = 0;
  const auto result = std::from_chars(digits.data(), digits.data() + digits.size(), window, 16);
  // from_chars also stops short of a sign or stray characters, and reports a
  // value too wide for this process (a 64-bit handle read by a 32-bit host).
  if (digits.empty() || result.ec != std::errc{} || result.ptr != digits.data() + digits.size()) {
    return 0;
  }
  return window;
}

}  // namespace zel5::conf
