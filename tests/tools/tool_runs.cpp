#include "tools/tool_runs.h"

#include <sstream>

#include "zel5-convert/convert_tool.h"
#include "zel5-signal/signal_tool.h"

namespace zel5::tools::testing {

ToolRun RunConvert(const std::vector<std::string>& args, const std::string& in) {
  std::istringstream input(in);
  std::ostringstream output;
  std::ostringstream errors;
  ToolRun run;
  run.status = RunConvertTool(args, input, output, errors);
  run.out = output.str();
  run.err = errors.str();
  return run;
}

ToolRun RunSignal(const std::vector<std::string>& args) {
  std::ostringstream output;
  std::ostringstream errors;
  ToolRun run;
  run.status = RunSignalTool(args, output, errors);
  run.out = output.str();
  run.err = errors.str();
  return run;
}

}  // namespace zel5::tools::testing
