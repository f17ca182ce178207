#include "common/tool_run.h"

#include <exception>
#include <new>

namespace zel5::tools {

int RunReportingFailure(std::string_view tool, std::ostream& err,
                        const std::function<void()>& body) {
  try {
    body();
    return kExitSuccess;
  } catch (const std::bad_alloc&) {
    err << tool << ": out of memory\n";
  } catch (const std::exception& failure) {
    err << tool << ": " << failure.what() << '\n';
  }
  return kExitFailure;
}

}  // namespace zel5::tools
