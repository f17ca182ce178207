#include "platform/lock.h"

#include <pthread.h>

namespace zel5::platform {

struct Lock::Impl {
  pthread_mutex_t mutex = PTHREAD_MUTEX_INITIALIZER;
};

Lock::Lock() : impl_(std::make_unique<Impl>()) {}

Lock::~Lock() {
  pthread_mutex_destroy(&impl_->mutex);
}

void Lock::Enter() {
  pthread_mutex_lock(&impl_->mutex);
}

void Lock::Leave() {
  pthread_mutex_unlock(&impl_->mutex);
}

bool Lock::TryEnter() {
  return pthread_mutex_trylock(&impl_->mutex) == 0;
}

}  // namespace zel5::platform
