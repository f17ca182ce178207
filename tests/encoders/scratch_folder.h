// A fresh folder per test, removed with everything in it afterwards, and the
// file readers the tests compare with.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace zel5::test {

class ScratchFolder {
 public:
  ScratchFolder();
  ~ScratchFolder();
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  std::string Path(const std::string& name) const { return (root_ / name).string(); }

 private:
  std::filesystem::path root_;
};

// Empty when the file does not exist.
std::vector<std::string> ReadLines(const std::string& path);
std::string ReadBytes(const std::string& path);

}  // namespace zel5::test
