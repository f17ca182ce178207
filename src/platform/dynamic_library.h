// A dynamic library loaded at run time; freed when the object goes.
#pragma once

#include <memory>

namespace zel5::platform {

class DynamicLibrary {
 public:
  // Null when the library cannot be loaded.
  static std::unique_ptr<DynamicLibrary> Load(const char* path);
  ~DynamicLibrary();
  DynamicLibrary(const DynamicLibrary&) = delete;
  DynamicLibrary& operator=(const DynamicLibrary&) = delete;

  // The address of an exported name, or null.
  void* Find(const char* name) const;

 private:
  explicit DynamicLibrary(void* handle) : handle_(handle) {}
  void* handle_;
};

}  // namespace zel5::platform
