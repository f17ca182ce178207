// Which of the two file layouts a path names: the tools choose by extension.
#pragma once

#include <string>

namespace zel5::tools {

// True for a name ending in ".wav" in any case; "-" and everything else is raw.
bool IsWavPath(const std::string& path);

}  // namespace zel5::tools
