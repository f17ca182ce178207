#include "conf/atomic_file.h"

#include <atomic>
#include <fstream>
#include <string>
#include <system_error>

#include "platform/process.h"

namespace zel5::conf {
namespace {

// Unique among all writers: other processes differ in the id, threads of
// this one in the count.
std::filesystem::path TemporaryBeside(const std::filesystem::path& path) {
  static std::atomic<unsigned> count{0};
  std::filesystem::path temporary = path;
  temporary += ".tmp-" + std::to_string(platform::CurrentProcessId()) + "-" +
               std::to_string(count.fetch_add(1, std::memory_order_relaxed));
  return temporary;
}

bool WriteWhole(const std::filesystem::path& path, std::string_view contents) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(contents.data(), static_cast<std::streamsize>(contents.size()));
  out.close();
  return !out.fail();
}

}  // namespace

bool ReplaceFile(const std::filesystem::path& path, std::string_view contents) {
  const std::filesystem::path temporary = TemporaryBeside(path);
  std::error_code error;
  if (WriteWhole(temporary, contents)) {
    std::filesystem::rename(temporary, path, error);
    if (!error) {
      return true;
    }
  }
  std::filesystem::remove(temporary, error);
  return false;
}

std::string ReadFileStart(const std::filesystem::path& path, std::size_t maxBytes) {
  std::ifstream in(path, std::ios::binary);
  std::string bytes(maxBytes, '\0');
  in.read(bytes.data(), static_cast<std::streamsize>(maxBytes));
  bytes.resize(static_cast<std::size_t>(in.gcount()));
  return bytes;
}

}  // namespace zel5::conf
