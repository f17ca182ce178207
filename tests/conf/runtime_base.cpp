#include "conf/runtime_base.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <random>
#include <stdexcept>

namespace zel5::conf::testing {
namespace {

constexpr const char* kVariable = "ZEL5_RUNTIME_DIR";

std::optional<std::string> Variable(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr ? std::optional<std::string>(value) : std::nullopt;
}

}  // namespace

RuntimeBase::RuntimeBase() : previous_(Variable(kVariable)) {
  std::random_device random;
  base_ = std::filesystem::temp_directory_path() /
          ("zel5-conf-test-" + std::to_string(random()) + std::to_string(random()));
  std::filesystem::create_directories(base_);
  SetVariable(kVariable, base_.string());
}

RuntimeBase::~RuntimeBase() {
  SetVariable(kVariable, previous_);
  std::error_code ignored;
  std::filesystem::remove_all(base_, ignored);
}

std::filesystem::path RuntimeBase::RecordPath(std::uint32_t pluginId) const {
  char name[32];
  std::snprintf(name, sizeof(name), "window-%08x", static_cast<unsigned>(pluginId));
  return Directory() / name;
}

void SetVariable(const char* name, const std::optional<std::string>& value) {
#if defined(_WIN32)
  _putenv_s(name, value ? value->c_str() : "");
#else
  if (value) {
    setenv(name, value->c_str(), 1);
  } else {
    unsetenv(name);
  }
#endif
}

void WriteFile(const std::filesystem::path& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) {
    throw std::runtime_error("test cannot write " + path.string());
  }
}

}  // namespace zel5::conf::testing
