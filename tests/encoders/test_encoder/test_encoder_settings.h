// What the test encoder library (zel5enc-test) reads from the 1024
// encoderSettings bytes, and what it answers. Every field is little-endian at
// a fixed offset; a controller in another process fills the same bytes with
// these helpers or by hand.
//
// Providers, by GetProvider index: 0 id 1 "Test encoder" extension "tst",
// 1 id 2 "Second" "raw", 2 id 1 "Shadow" "shd". Describe reports the name
// (or Settings::name) and Settings::values; it never sees the format.
// GetInfo reports the extension (or Settings::extension) and refuses a
// record whose size is below 152. Open creates or empties the file at its
// path, WriteBlock appends the bytes unchanged and closes the file again,
// so the file holds exactly what was written whenever it is read. Counter A
// is frames written since Open (bytes / nBlockAlign of the format, bytes
// when that is 0), counter B bytes written since Open.
#pragma once

#include <algorithm>
#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

#include "zel5/encoder_api.h"

namespace zel5::test_encoder {

// Which call misbehaves. Any other value acts as kSucceed.
enum class Behaviour : std::uint32_t {
  kSucceed = 0,
  kFailCreateEncoder = 1,  // returns non-zero, *encoder untouched
  kFailOpen = 2,           // returns non-zero, no file made
  kFailWriteBlock = 3,     // returns non-zero, nothing written or counted
  kThrowFromCreateEncoder = 4,
  kThrowFromDescribe = 5,
  kThrowFromGetInfo = 6,
  kThrowFromOpen = 7,
  kThrowFromWriteBlock = 8,
  kThrowFromQueryCounterB = 9,
  kThrowFromQueryCounterA = 10,
  kThrowFromClose = 11,
  kThrowFromDestroyEncoder = 12,  // frees the encoder first
};

// What a throwing call throws. Any other value acts as kRuntimeError.
enum class ExceptionKind : std::uint32_t {
  kRuntimeError = 0,  // std::runtime_error, what() = "test encoder: <call> throws"
  kNonStandard = 1,   // an int (the behaviour code), no std::exception
};

// The call log, one line per call in the order the calls came, each line
// written and flushed before the call acts (so a throwing call is logged):
//   GetProviderCount
//   GetProvider index=<n>
//   GetId provider=<index>
//   CreateEncoder provider=<index> rate=<Hz> channels=<n> bits=<n>
//   Describe provider=<index> nameSize=<n>
//   DestroyEncoder provider=<index>
//   GetInfo size=<EncoderInfo.size>
//   Open path=<text to the end of the line>
//   WriteBlock bytes=<n>
//   QueryCounterB, QueryCounterA, Close
//   Unload (the library's last line, when it is unloaded)
// A null argument shows as "format=<null>", "path=<null>", "info=<null>".
// <index> is the provider's place in GetProvider, telling apart the two of
// id 1. Lines end in "\n" alone. The log file is the newest non-empty
// logPath handed to CreateEncoder or Describe; before that, the file that
// kLogVariable named when the library was loaded. Lines that come while no
// file is known wait and go first into the first one named; settings with
// an empty logPath drop them. A file that cannot be opened loses the line.
inline constexpr const char* kLogVariable = "ZEL5ENC_TEST_LOG";

// The result of every failing call.
inline constexpr std::int32_t kFailureResult = static_cast<std::int32_t>(0x80004005u);

struct Settings {
  std::int32_t providerId;     // the plug-in's: which provider to use
  Behaviour behaviour;         // which call misbehaves
  ExceptionKind exception;     // what a throwing call throws
  std::int32_t values[3];      // what Describe reports as its three values
  char logPath[260];           // call log file; empty: none
  char name[260];              // Describe's name when not empty, else the provider's
  char extension[144];         // GetInfo's extension when not empty, else the provider's
  std::uint8_t reserved[336];  // not read
};

static_assert(std::endian::native == std::endian::little, "fields are stored as they lie");
static_assert(sizeof(Settings) == ZEL5_ENCODER_SETTINGS_SIZE);
static_assert(offsetof(Settings, providerId) == 0);
static_assert(offsetof(Settings, behaviour) == 4);
static_assert(offsetof(Settings, exception) == 8);
static_assert(offsetof(Settings, values) == 12);
static_assert(offsetof(Settings, logPath) == 24);
static_assert(offsetof(Settings, name) == 284);
static_assert(offsetof(Settings, extension) == 544);
static_assert(offsetof(Settings, reserved) == 688);

using SettingsBytes = std::array<std::uint8_t, ZEL5_ENCODER_SETTINGS_SIZE>;

// Copies text into a fixed field, cut so that its NUL always fits.
template <std::size_t N>
void SetText(char (&field)[N], std::string_view text) {
  const std::size_t length = std::min(text.size(), N - 1);
  // Element by element: an empty view may have no data at all, and GCC 12
  // warns about handing that to a block copy even when nothing is copied.
  for (std::size_t i = 0; i < length; ++i) {
    field[i] = text[i];
  }
  std::fill(field + length, field + N, '\0');
}

inline Settings MakeSettings(std::int32_t providerId, Behaviour behaviour = Behaviour::kSucceed,
                             std::string_view logPath = {}) {
  Settings settings{};
  settings.providerId = providerId;
  settings.behaviour = behaviour;
  SetText(settings.logPath, logPath);
  return settings;
}

// Fills the 1024 bytes at destination, e.g. a ControlBlock's encoderSettings.
inline void Store(const Settings& settings, std::uint8_t* destination) {
  std::memcpy(destination, &settings, sizeof settings);
}

inline SettingsBytes ToBytes(const Settings& settings) {
  SettingsBytes bytes{};
  Store(settings, bytes.data());
  return bytes;
}

// Reads 1024 bytes as the library does: null reads as all zero, and every
// text ends within its field even when the bytes hold no NUL.
inline Settings Load(const std::uint8_t* source) {
  Settings settings{};
  if (source != nullptr) {
    std::memcpy(&settings, source, sizeof settings);
  }
  settings.logPath[sizeof settings.logPath - 1] = '\0';
  settings.name[sizeof settings.name - 1] = '\0';
  settings.extension[sizeof settings.extension - 1] = '\0';
  return settings;
}

}  // namespace zel5::test_encoder
