// A tool's command line split into "--name value" options, "--help" and
// operands (files, or "-" for stdin/stdout).
#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

namespace zel5::tools {

struct ArgList {
  bool help = false;
  std::map<std::string, std::string> options;  // "--rate" -> "44100"
  std::vector<std::string> operands;
};

// Splits args (without the program name). "--help" anywhere wins over
// everything else. Every other option takes the next argument as its value
// (which may not start with "--"); an option not in `known`, one left
// without a value or one given twice throws std::runtime_error naming it.
ArgList SplitArgs(const std::vector<std::string>& args, const std::set<std::string>& known);

}  // namespace zel5::tools
