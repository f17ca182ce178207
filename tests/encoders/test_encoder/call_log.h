// The library's call log; its lines and which file they go to are described
// with kLogVariable in test_encoder_settings.h.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace zel5::test_encoder {

void LogCall(std::string_view line);

// A number as a line shows it. Not std::to_string: its template data would
// be a unique symbol, which keeps the library from ever being unloaded.
std::string Decimal(std::uint32_t value);

// The logPath of settings that a call has just received.
void UseLogPath(std::string_view path);

}  // namespace zel5::test_encoder
