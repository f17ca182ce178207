// Another process's memory, read and written through a handle on it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

namespace zel5::platform {

class ProcessHandle {
 public:
  // Opens the process for reading and writing its memory (and nothing else);
  // null when it does not exist or may not be accessed. The opened process
  // may read this one back (it answers an announcement from our memory):
  // Open names it to AllowMemoryAccessFrom.
  static std::unique_ptr<ProcessHandle> Open(std::uint32_t processId);
  ~ProcessHandle();
  ProcessHandle(const ProcessHandle&) = delete;
  ProcessHandle& operator=(const ProcessHandle&) = delete;

  // The exact number of bytes moved; fewer than asked is a failure.
  std::size_t Read(std::uintptr_t address, void* buffer, std::size_t size) const;
  std::size_t Write(std::uintptr_t address, const void* buffer, std::size_t size) const;

 private:
  struct Impl;
  explicit ProcessHandle(std::unique_ptr<Impl> impl);
  std::unique_ptr<Impl> impl_;
};

// Lets the process read and write this one's memory where the system
// otherwise would not: Linux with Yama's ptrace_scope 1 lets only a
// process's ancestors in unless it names one more. Only one process is named
// at a time; naming another takes the right from the one before. Where no
// such restriction holds, nothing changes.
void AllowMemoryAccessFrom(std::uint32_t processId);

}  // namespace zel5::platform
