#include "common/output_file.h"

#include <random>
#include <stdexcept>
#include <system_error>

namespace zel5::tools {
namespace {

// A name beside the target that no file has yet; random so that two runs
// writing the same target do not share a temporary.
std::filesystem::path FreeTemporaryBeside(const std::filesystem::path& target) {
  std::random_device random;
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::filesystem::path candidate = target;
    candidate += ".";
    candidate += std::to_string(random() % 1000000000u);
    candidate += ".partial";
    std::error_code error;
    if (!std::filesystem::exists(candidate, error) && !error) {
      return candidate;
    }
  }
  throw std::runtime_error("cannot find a free temporary name beside " + target.string());
}

}  // namespace

OutputFile::OutputFile(const std::string& path, std::ostream& standardOutput)
    : stream_(&standardOutput), name_(path == "-" ? "stdout" : path) {
  if (path == "-") {
    return;
  }
  target_ = path;
  std::error_code error;
  if (std::filesystem::is_directory(target_, error)) {
    throw std::runtime_error("cannot write " + path + ": it is a directory");
  }
  temporary_ = FreeTemporaryBeside(target_);
  file_ = std::make_unique<std::ofstream>(temporary_, std::ios::binary | std::ios::trunc);
  if (!*file_) {
    throw std::runtime_error("cannot create " + temporary_.string() + " to write " + path);
  }
  stream_ = file_.get();
}

OutputFile::~OutputFile() {
  if (file_ == nullptr || committed_) {
    return;
  }
  file_->close();
  std::error_code ignored;
  std::filesystem::remove(temporary_, ignored);
}

void OutputFile::Commit() {
  stream_->flush();
  if (!*stream_) {
    throw std::runtime_error("cannot write " + name_);
  }
  if (file_ == nullptr) {
    committed_ = true;
    return;
  }
  file_->close();
  if (!*file_) {
    throw std::runtime_error("cannot write " + name_);
  }
  std::error_code error;
  std::filesystem::rename(temporary_, target_, error);
  if (error) {
    throw std::runtime_error("cannot rename " + temporary_.string() + " to " + name_ + ": " +
                             error.message());
  }
  committed_ = true;
}

}  // namespace zel5::tools
