// A fresh runtime directory for one test: ZEL5_RUNTIME_DIR names a new
// temporary base while the object lives, so that windows, registrations
// and peers started meanwhile stay apart from every other test's.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace zel5::transport::testing {

class ScratchRuntime {
 public:
  ScratchRuntime();
  ~ScratchRuntime();
  ScratchRuntime(const ScratchRuntime&) = delete;
  ScratchRuntime& operator=(const ScratchRuntime&) = delete;

  // Where the windows' sockets are made.
  std::filesystem::path Directory() const { return base_ / "zel5"; }
  // Names another base for the rest of the test, one that may be unusable.
  void PointAt(const std::filesystem::path& base);

 private:
  std::filesystem::path base_;
  std::optional<std::string> previous_;
};

}  // namespace zel5::transport::testing
