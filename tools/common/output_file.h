// The stream a tool writes: stdout for "-", otherwise a temporary file beside
// the target that only Commit renames into place, so a run that fails never
// leaves a half-written file under the target's name.
#pragma once

#include <filesystem>
#include <fstream>
#include <memory>
#include <ostream>
#include <string>

namespace zel5::tools {

class OutputFile {
 public:
  // Throws std::runtime_error naming the path when the temporary cannot be
  // created.
  OutputFile(const std::string& path, std::ostream& standardOutput);
  // Removes the temporary unless Commit succeeded.
  ~OutputFile();
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;

  std::ostream& stream() { return *stream_; }
  // The path, or "stdout".
  const std::string& name() const { return name_; }
  // Flushes and closes; a file output is then renamed onto the target.
  // Throws std::runtime_error when anything written did not reach the disk.
  void Commit();

 private:
  std::filesystem::path target_;
  std::filesystem::path temporary_;
  std::unique_ptr<std::ofstream> file_;
  std::ostream* stream_;
  std::string name_;
  bool committed_ = false;
};

}  // namespace zel5::tools
