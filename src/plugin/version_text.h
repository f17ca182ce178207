// The plug-in's version text: "1.0." and the module's build date.
#pragma once

#include <string>

namespace zel5 {

inline constexpr std::size_t kVersionTextSize = 64;

// A compiler date ("Jun  1 2007") with single blanks ("Jun 1 2007").
std::string BuildDateText(const char* compilerDate);

// "1.0." followed by the date, cut to fit the 64-byte version buffer.
void FormatVersionText(const char* compilerDate, char (&buffer)[kVersionTextSize]);

}  // namespace zel5
