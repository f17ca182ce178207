// zel5-convert as a function, so tests can run it in-process.
#pragma once

#include <istream>
#include <ostream>
#include <string>
#include <vector>

namespace zel5::tools {

// Runs the tool on args (without the program name) with these streams as
// stdin, stdout and stderr; returns the exit status: 0, or 2 after one line
// on err.
int RunConvertTool(const std::vector<std::string>& args, std::istream& in, std::ostream& out,
                   std::ostream& err);

}  // namespace zel5::tools
