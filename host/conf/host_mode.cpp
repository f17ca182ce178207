#include "conf/host_mode.h"

#include <atomic>

namespace zel5::conf {
namespace {

// Constant-initialised, so a plug-in that asks during its own start-up,
// before this library's initialisers may have run, still reads 0.
constinit std::atomic<std::int32_t> modeFlag{0};

}  // namespace

void SetHostModeFlag(std::int32_t flag) {
  modeFlag.store(flag, std::memory_order_relaxed);
}

std::int32_t HostModeFlag() {
  return modeFlag.load(std::memory_order_relaxed);
}

}  // namespace zel5::conf
