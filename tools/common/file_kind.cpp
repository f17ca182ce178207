#include "common/file_kind.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

namespace zel5::tools {

bool IsWavPath(const std::string& path) {
  std::string extension = std::filesystem::path(path).extension().string();
  std::transform(extension.begin(), extension.end(), extension.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return extension == ".wav";
}

}  // namespace zel5::tools
