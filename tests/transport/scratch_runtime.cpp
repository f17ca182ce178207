#include "transport/scratch_runtime.h"

#include <cstdlib>
#include <random>

namespace zel5::transport::testing {
namespace {

constexpr const char* kVariable = "ZEL5_RUNTIME_DIR";

}  // namespace

ScratchRuntime::ScratchRuntime() {
  if (const char* value = std::getenv(kVariable)) {
    previous_ = value;
  }
  std::random_device random;
  base_ = std::filesystem::temp_directory_path() /
          ("zel5-transport-" + std::to_string(random()) + std::to_string(random()));
  std::filesystem::create_directories(base_);
  setenv(kVariable, base_.c_str(), 1);
}

void ScratchRuntime::PointAt(const std::filesystem::path& base) {
  setenv(kVariable, base.c_str(), 1);
}

ScratchRuntime::~ScratchRuntime() {
  if (previous_) {
    setenv(kVariable, previous_->c_str(), 1);
  } else {
    unsetenv(kVariable);
  }
  std::error_code ignored;
  std::filesystem::remove_all(base_, ignored);
}

}  // namespace zel5::transport::testing
