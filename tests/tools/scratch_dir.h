// A fresh directory per test, removed with everything in it afterwards, and
// whole-file helpers for what the tools read and write.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace zel5::tools::testing {

class ScratchDir {
 public:
  ScratchDir();
  ~ScratchDir();
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;

  std::string Path(const std::string& name) const { return (root_ / name).string(); }
  // The names of the files in the directory, sorted.
  std::vector<std::string> Names() const;

 private:
  std::filesystem::path root_;
};

std::string ReadFileBytes(const std::string& path);
void WriteFileBytes(const std::string& path, const std::string& bytes);

}  // namespace zel5::tools::testing
