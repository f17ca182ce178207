// The tools run in-process, with their stdin, stdout and stderr captured.
#pragma once

#include <string>
#include <vector>

namespace zel5::tools::testing {

struct ToolRun {
  int status = -1;
  std::string out;
  std::string err;
};

ToolRun RunConvert(const std::vector<std::string>& args, const std::string& in = "");
ToolRun RunSignal(const std::vector<std::string>& args);

}  // namespace zel5::tools::testing
