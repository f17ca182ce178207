// A mutual-exclusion lock (a critical section on Windows), and the guard
// that holds it for a scope.
#pragma once

#include <memory>

namespace zel5::platform {

class Lock {
 public:
  Lock();
  ~Lock();
  Lock(const Lock&) = delete;
  Lock& operator=(const Lock&) = delete;

  void Enter();
  void Leave();
  // Takes the lock only if no other thread holds it.
  bool TryEnter();

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

// Holds the lock for its scope, so it is left on every way out.
class ScopedLock {
 public:
  explicit ScopedLock(Lock& lock) : lock_(&lock) { lock_->Enter(); }
  virtual ~ScopedLock() { lock_->Leave(); }
  ScopedLock(const ScopedLock&) = delete;
  ScopedLock& operator=(const ScopedLock&) = delete;

 private:
  Lock* lock_;
};

}  // namespace zel5::platform
