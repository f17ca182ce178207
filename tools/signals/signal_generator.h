// A mono test signal produced one sample at a time, within [-1, 1].
#pragma once

namespace zel5::signals {

class SignalGenerator {
 public:
  virtual ~SignalGenerator() = default;
  virtual double Next() = 0;
};

}  // namespace zel5::signals
