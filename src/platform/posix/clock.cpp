#include "platform/clock.h"

#include <time.h>

namespace zel5::platform {

std::uint32_t TickCount() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  const auto milliseconds = static_cast<std::uint64_t>(now.tv_sec) * 1000u +
                            static_cast<std::uint64_t>(now.tv_nsec) / 1000000u;
  return static_cast<std::uint32_t>(milliseconds);
}

Zel5SystemTime SystemTimeUtc() {
  timespec now{};
  clock_gettime(CLOCK_REALTIME, &now);
  tm utc{};
  gmtime_r(&now.tv_sec, &utc);
  Zel5SystemTime time{};
  time.wYear = static_cast<std::uint16_t>(utc.tm_year + 1900);
  time.wMonth = static_cast<std::uint16_t>(utc.tm_mon + 1);
  time.wDayOfWeek = static_cast<std::uint16_t>(utc.tm_wday);
  time.wDay = static_cast<std::uint16_t>(utc.tm_mday);
  time.wHour = static_cast<std::uint16_t>(utc.tm_hour);
  time.wMinute = static_cast<std::uint16_t>(utc.tm_min);
  time.wSecond = static_cast<std::uint16_t>(utc.tm_sec);
  time.wMilliseconds = static_cast<std::uint16_t>(now.tv_nsec / 1000000);
  return time;
}

}  // namespace zel5::platform
