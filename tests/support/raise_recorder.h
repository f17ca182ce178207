// Puts the IIR error reporting under a handler that returns and records every
// report, so that a test can watch refusals without the process ending.
#pragma once

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "iir/nsp_error.h"

namespace zel5::test {

struct RaisedError {
  int status;
  std::string function;
  std::optional<std::string> context;
  std::string file;
  int line;
};

class RaiseRecorder : public ::testing::Test {
 protected:
  void SetUp() override {
    raised().clear();
    previousMode_ = nspSetErrorMode(1);
    previousHandler_ = nspSetErrorHandler(&Record);
    nspRaise(kNspStsOk, "test", nullptr, "test", 0);
  }
  void TearDown() override {
    nspRaise(kNspStsOk, "test", nullptr, "test", 0);
    nspSetErrorHandler(previousHandler_);
    nspSetErrorMode(previousMode_);
  }

  // Clears the sticky status between steps of one test.
  static void ClearStatus() { nspRaise(kNspStsOk, "test", nullptr, "test", 0); }

  static std::vector<RaisedError>& raised() {
    static std::vector<RaisedError> errors;
    return errors;
  }

 private:
  static int Record(int status, const char* function, const char* context, const char* file,
                    int line) {
    raised().push_back({status, function,
                        context ? std::optional<std::string>(context) : std::nullopt, file, line});
    return status;
  }

  int previousMode_ = 0;
  NspErrorHandler previousHandler_ = nullptr;
};

}  // namespace zel5::test
