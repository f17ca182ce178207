#include "encoders/test_encoder/requested_failure.h"

#include <stdexcept>
#include <string>

namespace zel5::test_encoder {

void ThrowIfRequested(const Settings& settings, Behaviour throwingBehaviour,
                      const char* operation) {
  if (settings.behaviour != throwingBehaviour) {
    return;
  }
  if (settings.exception == ExceptionKind::kNonStandard) {
    throw static_cast<int>(throwingBehaviour);
  }
  throw std::runtime_error(std::string("test encoder: ") + operation + " throws");
}

}  // namespace zel5::test_encoder
