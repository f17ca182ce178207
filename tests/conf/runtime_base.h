// A fresh base directory per test, named by ZEL5_RUNTIME_DIR while the
// object lives; the variable and the directory go back as they were.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

namespace zel5::conf::testing {

class RuntimeBase {
 public:
  RuntimeBase();
  ~RuntimeBase();
  RuntimeBase(const RuntimeBase&) = delete;
  RuntimeBase& operator=(const RuntimeBase&) = delete;

  const std::filesystem::path& Base() const { return base_; }
  // Where the library keeps its files under this base.
  std::filesystem::path Directory() const { return base_ / "zel5"; }
  std::filesystem::path RecordPath(std::uint32_t pluginId) const;

 private:
  std::filesystem::path base_;
  std::optional<std::string> previous_;
};

// Sets or, with nullopt, removes an environment variable of this process.
void SetVariable(const char* name, const std::optional<std::string>& value);

// A whole file, written as a test needs it.
void WriteFile(const std::filesystem::path& path, const std::string& bytes);

}  // namespace zel5::conf::testing
