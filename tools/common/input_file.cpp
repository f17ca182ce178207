#include "common/input_file.h"

#include <filesystem>
#include <stdexcept>

namespace zel5::tools {

InputFile::InputFile(const std::string& path, std::istream& standardInput)
    : stream_(&standardInput), name_(path == "-" ? "stdin" : path) {
  if (path == "-") {
    return;
  }
  // A directory opens on some systems and only fails on the first read.
  std::error_code error;
  if (std::filesystem::is_directory(path, error)) {
    throw std::runtime_error("cannot read " + path + ": it is a directory");
  }
  file_ = std::make_unique<std::ifstream>(path, std::ios::binary);
  if (!*file_) {
    throw std::runtime_error("cannot open " + path + " for reading");
  }
  stream_ = file_.get();
}

}  // namespace zel5::tools
