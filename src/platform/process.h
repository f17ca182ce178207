// Facts about the running process.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace zel5::platform {

std::uint32_t CurrentProcessId();

// Full path of the process's executable file, cut to at most maxLength
// characters; empty when the system does not say.
std::string ExecutablePath(std::size_t maxLength);

}  // namespace zel5::platform
