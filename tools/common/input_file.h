// The stream a tool reads: a file opened for binary reading, or stdin for "-".
#pragma once

#include <fstream>
#include <istream>
#include <memory>
#include <string>

namespace zel5::tools {

class InputFile {
 public:
  // Throws std::runtime_error naming the path when it cannot be read.
  InputFile(const std::string& path, std::istream& standardInput);

  std::istream& stream() { return *stream_; }
  // The path, or "stdin".
  const std::string& name() const { return name_; }

 private:
  std::unique_ptr<std::ifstream> file_;
  std::istream* stream_;
  std::string name_;
};

}  // namespace zel5::tools
