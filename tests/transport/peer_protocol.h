// What the tests and their peer program (transport_peer.cpp) agree on: the
// peer's modes, the messages its plain window answers, and the bytes its
// memory holds.
#pragma once

#include <cstddef>
#include <cstdint>

namespace zel5::transport::testing {

// Messages to the peer's plain window (mode "window"), clear of the
// protocol's own numbers.
inline constexpr std::uint32_t kEcho = 0x8001;           // sent; reply: Echo(...)
inline constexpr std::uint32_t kSequence = 0x8002;       // posted; wParam: 0, 1, 2, ...
inline constexpr std::uint32_t kSequenceCount = 0x8003;  // sent; reply: kOutOfOrder or count
inline constexpr std::uint32_t kLate = 0x8004;           // sent; counted when handled
inline constexpr std::uint32_t kLateCount = 0x8005;      // sent; reply: kLate messages handled
inline constexpr std::uint32_t kWhoSent = 0x8006;        // sent; reply: the sender's process id
inline constexpr std::uint32_t kQuit = 0x8007;           // sent; the peer ends its loop

// The reply to kSequenceCount once a post arrived out of order.
inline constexpr std::uintptr_t kOutOfOrder = ~std::uintptr_t{0};

// Depends on all three arguments, so that a swapped or cut one shows, and is
// never 0 (a failed send) for the arguments the tests use.
constexpr std::uintptr_t Echo(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) {
  return ((wParam * 3) ^ static_cast<std::uintptr_t>(lParam) ^ (std::uintptr_t{message} << 7)) +
         0x5a5a;
}

// The bytes of the peer's readable page (mode "memory").
constexpr std::uint8_t Pattern(std::size_t offset) {
  return static_cast<std::uint8_t>(offset * 7 + 1);
}

// How many bytes of that page the peer prints when its input closes.
inline constexpr std::size_t kDumpBytes = 32;

}  // namespace zel5::transport::testing
