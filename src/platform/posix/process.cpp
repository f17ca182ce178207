#include "platform/process.h"

#include <limits.h>
#include <unistd.h>

#include <vector>

namespace zel5::platform {

std::uint32_t CurrentProcessId() {
  return static_cast<std::uint32_t>(getpid());
}

std::string ExecutablePath(std::size_t maxLength) {
  std::vector<char> path(PATH_MAX);
  const ssize_t length = readlink("/proc/self/exe", path.data(), path.size());
  if (length <= 0) {
    return {};
  }
  std::string result(path.data(), static_cast<std::size_t>(length));
  if (result.size() > maxLength) {
    result.resize(maxLength);
  }
  return result;
}

}  // namespace zel5::platform
