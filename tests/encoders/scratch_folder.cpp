#include "encoders/scratch_folder.h"

#include <fstream>
#include <random>
#include <sstream>

namespace zel5::test {

ScratchFolder::ScratchFolder() {
  std::random_device random;
  root_ = std::filesystem::temp_directory_path() /
          ("zel5-encoders-test-" + std::to_string(random()) + std::to_string(random()));
  std::filesystem::create_directories(root_);
}

ScratchFolder::~ScratchFolder() {
  std::error_code ignored;
  std::filesystem::remove_all(root_, ignored);
}

std::vector<std::string> ReadLines(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) {
    lines.push_back(line);
  }
  return lines;
}

std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

}  // namespace zel5::test
