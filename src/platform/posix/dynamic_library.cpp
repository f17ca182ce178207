#include "platform/dynamic_library.h"

#include <dlfcn.h>

namespace zel5::platform {

std::unique_ptr<DynamicLibrary> DynamicLibrary::Load(const char* path) {
  if (path == nullptr) {
    return nullptr;
  }
  // Symbols stay local: two encoder libraries may export the same names.
  void* handle = dlopen(path, RTLD_NOW | RTLD_LOCAL);
  if (handle == nullptr) {
    return nullptr;
  }
  return std::unique_ptr<DynamicLibrary>(new DynamicLibrary(handle));
}

DynamicLibrary::~DynamicLibrary() {
  dlclose(handle_);
}

void* DynamicLibrary::Find(const char* name) const {
  return dlsym(handle_, name);
}

}  // namespace zel5::platform
