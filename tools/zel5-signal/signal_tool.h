// zel5-signal as a function, so tests can run it in-process.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace zel5::tools {

// Runs the tool on args (without the program name) with these streams as
// stdout and stderr; returns the exit status: 0, or 2 after one line on err.
int RunSignalTool(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace zel5::tools
