#include "conf/window_registry.h"

#include <cstdio>
#include <filesystem>
#include <system_error>

#include "conf/atomic_file.h"
#include "conf/window_record.h"
#include "platform/runtime_directory.h"
#include "zel5/host_configuration.h"

namespace zel5::conf {
namespace {

// Longer than any record, so that a file with more in it reads as garbled.
constexpr std::size_t kReadLimit = 64;

std::filesystem::path RecordPath(const std::filesystem::path& directory, std::uint32_t pluginId) {
  char name[sizeof("window-") + 8];
  std::snprintf(name, sizeof(name), "window-%08x", static_cast<unsigned>(pluginId));
  return directory / name;
}

std::uintptr_t ReadRecord(const std::filesystem::path& path) {
  return ParseWindowRecord(ReadFileStart(path, kReadLimit));
}

}  // namespace

int RegisterPluginWindow(std::uint32_t pluginId, std::uintptr_t window) {
  const std::filesystem::path directory = platform::RuntimeDirectory();
  if (directory.empty()) {
    return ZEL5_CONF_ERROR_DIRECTORY;
  }
  return ReplaceFile(RecordPath(directory, pluginId), FormatWindowRecord(window))
             ? ZEL5_CONF_OK
             : ZEL5_CONF_ERROR_IO;
}

int UnregisterPluginWindow(std::uint32_t pluginId, std::uintptr_t window) {
  const std::filesystem::path directory = platform::RuntimeDirectory();
  if (directory.empty()) {
    return ZEL5_CONF_ERROR_DIRECTORY;
  }
  const std::filesystem::path path = RecordPath(directory, pluginId);
  if (ReadRecord(path) != window) {
    return ZEL5_CONF_ERROR_NOT_REGISTERED;
  }
  // Without a lock, a newer controller registering between the read and the
  // remove loses its registration. Controllers replace each other far apart
  // in time, and the loser sees a missing window, never a wrong one.
  std::error_code error;
  std::filesystem::remove(path, error);
  return error ? ZEL5_CONF_ERROR_IO : ZEL5_CONF_OK;
}

int LookUpPluginWindow(std::uint32_t pluginId, std::uintptr_t& window) {
  const std::filesystem::path directory = platform::RuntimeDirectory();
  if (directory.empty()) {
    return ZEL5_CONF_ERROR_DIRECTORY;
  }
  window = ReadRecord(RecordPath(directory, pluginId));
  return ZEL5_CONF_OK;
}

}  // namespace zel5::conf
