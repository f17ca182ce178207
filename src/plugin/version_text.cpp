#include "plugin/version_text.h"

#include <cstdio>

namespace zel5 {

std::string BuildDateText(const char* compilerDate) {
  std::string date;
  for (const char* c = compilerDate; *c != '\0'; ++c) {
    if (*c == ' ' && (date.empty() || date.back() == ' ')) {
      continue;
    }
    date += *c;
  }
  return date;
}

void FormatVersionText(const char* compilerDate, char (&buffer)[kVersionTextSize]) {
  std::snprintf(buffer, sizeof buffer, "1.0.%s", BuildDateText(compilerDate).c_str());
}

}  // namespace zel5
