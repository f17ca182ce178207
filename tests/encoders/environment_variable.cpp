#include "encoders/environment_variable.h"

#include <cstdlib>

namespace zel5::test {

ScopedEnvironmentVariable::ScopedEnvironmentVariable(std::string name, const std::string& value)
    : name_(std::move(name)) {
#ifdef _WIN32
  _putenv_s(name_.c_str(), value.c_str());
#else
  setenv(name_.c_str(), value.c_str(), 1);
#endif
}

ScopedEnvironmentVariable::~ScopedEnvironmentVariable() {
#ifdef _WIN32
  _putenv_s(name_.c_str(), "");
#else
  unsetenv(name_.c_str());
#endif
}

}  // namespace zel5::test
