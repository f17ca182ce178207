#include "platform/runtime_directory.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string>

namespace zel5::platform {
namespace {

const char* Variable(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr && value[0] != '\0' ? value : nullptr;
}

// XDG_RUNTIME_DIR is only taken when it is an absolute directory this user
// owns and may write; a foreign one (left over after su, say) is passed over.
bool UsableBase(const char* base) {
  struct stat info {};
  return base[0] == '/' && stat(base, &info) == 0 && S_ISDIR(info.st_mode) &&
         info.st_uid == getuid() && access(base, W_OK | X_OK) == 0;
}

std::filesystem::path Location() {
  if (const char* base = Variable("ZEL5_RUNTIME_DIR")) {
    // No fallback: an isolated caller must never reach the shared directory.
    return std::filesystem::path(base) / "zel5";
  }
  if (const char* base = Variable("XDG_RUNTIME_DIR"); base != nullptr && UsableBase(base)) {
    return std::filesystem::path(base) / "zel5";
  }
  return "/tmp/zel5-" + std::to_string(getuid());
}

// lstat, so that a symlink to somewhere else is refused rather than followed.
bool Private(const std::filesystem::path& directory) {
  struct stat info {};
  return lstat(directory.c_str(), &info) == 0 && S_ISDIR(info.st_mode) && info.st_uid == getuid() &&
         (info.st_mode & 0777) == 0700;
}

}  // namespace

std::filesystem::path RuntimeDirectory() {
  const std::filesystem::path directory = Location();
  if (mkdir(directory.c_str(), 0700) == 0) {
    // The umask may have taken owner bits away; nothing else can reach the
    // directory yet, so setting the mode now is safe.
    chmod(directory.c_str(), 0700);
  } else if (errno != EEXIST) {
    return {};
  }
  return Private(directory) ? directory : std::filesystem::path{};
}

}  // namespace zel5::platform
