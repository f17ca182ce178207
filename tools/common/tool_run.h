// How every tool ends: 0 when it did its job, 2 with one line on stderr when
// it did not.
#pragma once

#include <functional>
#include <ostream>
#include <string_view>

namespace zel5::tools {

inline constexpr int kExitSuccess = 0;
inline constexpr int kExitFailure = 2;

// Runs body and returns kExitSuccess, or writes "tool: reason" to err and
// returns kExitFailure when it throws.
int RunReportingFailure(std::string_view tool, std::ostream& err,
                        const std::function<void()>& body);

}  // namespace zel5::tools
