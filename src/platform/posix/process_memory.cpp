#include "platform/process_memory.h"

#include <sys/prctl.h>
#include <sys/types.h>
#include <sys/uio.h>

#include <cerrno>
#include <climits>
#include <utility>

namespace zel5::platform {
namespace {

// The system's question for process_vm_readv and process_vm_writev alike is
// whether we may attach to the process, so one read answers for both. A
// byte at address 0, which no process has mapped, is asked for without
// touching anything: ESRCH is no such process (or one without memory, a
// zombie or a kernel thread), EPERM no right to it, EFAULT a readable one.
bool MayAccess(pid_t pid) {
  char byte = 0;
  iovec local{&byte, 1};
  iovec remote{nullptr, 1};
  return process_vm_readv(pid, &local, 1, &remote, 1, 0) >= 0 || errno == EFAULT;
}

// 0 is no process here, and ids beyond INT_MAX would turn into the negative
// values that mean groups of processes (or, to prctl, no process at all).
bool Plausible(std::uint32_t processId) {
  return processId != 0 && processId <= static_cast<std::uint32_t>(INT_MAX);
}

std::size_t Moved(ssize_t result) {
  return result > 0 ? static_cast<std::size_t>(result) : 0;
}

}  // namespace

struct ProcessHandle::Impl {
  pid_t pid;
};

std::unique_ptr<ProcessHandle> ProcessHandle::Open(std::uint32_t processId) {
  if (!Plausible(processId)) {
    return nullptr;
  }
  const auto pid = static_cast<pid_t>(processId);
  if (!MayAccess(pid)) {
    return nullptr;
  }
  AllowMemoryAccessFrom(processId);
  return std::unique_ptr<ProcessHandle>(new ProcessHandle(std::make_unique<Impl>(Impl{pid})));
}

ProcessHandle::ProcessHandle(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}

ProcessHandle::~ProcessHandle() = default;

// The id is not a handle: if the process ends and its id is given to a new
// one, the calls reach the new one (with the same access check).
std::size_t ProcessHandle::Read(std::uintptr_t address, void* buffer, std::size_t size) const {
  if (size == 0) {
    return 0;
  }
  iovec local{buffer, size};
  iovec remote{reinterpret_cast<void*>(address), size};
  return Moved(process_vm_readv(impl_->pid, &local, 1, &remote, 1, 0));
}

std::size_t ProcessHandle::Write(std::uintptr_t address, const void* buffer,
                                 std::size_t size) const {
  if (size == 0) {
    return 0;
  }
  iovec local{const_cast<void*>(buffer), size};
  iovec remote{reinterpret_cast<void*>(address), size};
  return Moved(process_vm_writev(impl_->pid, &local, 1, &remote, 1, 0));
}

void AllowMemoryAccessFrom(std::uint32_t processId) {
  // 0 would take the right from every process.
  if (!Plausible(processId)) {
    return;
  }
  // Refused with EINVAL where Yama is not in the kernel; there the user's
  // processes may reach each other already.
  prctl(PR_SET_PTRACER, static_cast<unsigned long>(processId), 0, 0, 0);
}

}  // namespace zel5::platform
