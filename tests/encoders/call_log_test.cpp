// The call log: one line per call, in order, with the arguments that came,
// into the file that the settings or the environment name.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "encoders/environment_variable.h"
#include "encoders/loaded_library.h"

namespace zel5::test {
namespace {

using test_encoder::Behaviour;
using test_encoder::MakeSettings;
using test_encoder::Settings;
using test_encoder::SettingsBytes;
using Lines = std::vector<std::string>;

// Loads with the environment's log pointed at log.
class EnvironmentLog : public LoadedLibrary {
 protected:
  void SetUp() override {}
  void LoadWithLog(const char* library) {
    const ScopedEnvironmentVariable variable(test_encoder::kLogVariable, log_);
    Load(library);
  }
  const std::string log_ = scratch_.Path("environment.log");
};

// One recording as the plug-in drives it, with one block of 17640 bytes.
void PlayRecording(void* provider, const SettingsBytes& settings, const std::string& outputFile) {
  void* encoder = nullptr;
  ASSERT_EQ(CreateEncoder(provider, &kStereo16, settings.data(), &encoder), 0);
  char name[ZEL5_ENCODER_NAME_SIZE];
  std::int32_t values[3];
  Describe(provider, settings.data(), name, sizeof name, &values[0], &values[1], &values[2]);
  EncoderInfo info = {};
  info.size = ZEL5_ENCODER_INFO_SIZE;
  GetInfo(encoder, &info);
  const std::string path = outputFile + "." + info.extension;
  ASSERT_EQ(Open(encoder, path.c_str()), 0);
  const std::string block(17640, 'p');
  WriteBlock(encoder, block.data(), static_cast<std::uint32_t>(block.size()));
  std::uint32_t counter = 0;
  QueryCounterB(encoder, &counter);
  QueryCounterA(encoder, &counter);
  Close(encoder);
  DestroyEncoder(provider, encoder);
}

TEST_F(LoadedLibrary, LogsARecordingInTheFileOfTheSettings) {
  const std::string log = scratch_.Path("calls.log");
  const std::string outputFile = scratch_.Path("take one");
  const SettingsBytes settings = test_encoder::ToBytes(MakeSettings(2, Behaviour::kSucceed, log));
  const std::uint32_t count = getProviderCount_();
  void* provider = nullptr;
  for (std::uint32_t index = 0; index < count && provider == nullptr; ++index) {
    void* candidate = getProvider_(index);
    provider = GetId(candidate) == 2 ? candidate : nullptr;
  }
  ASSERT_NE(provider, nullptr);
  PlayRecording(provider, settings, outputFile);
  Unload();
  EXPECT_EQ(ReadLines(log), (Lines{
                                "GetProviderCount",
                                "GetProvider index=0",
                                "GetId provider=0",
                                "GetProvider index=1",
                                "GetId provider=1",
                                "CreateEncoder provider=1 rate=44100 channels=2 bits=16",
                                "Describe provider=1 nameSize=260",
                                "GetInfo size=152",
                                "Open path=" + outputFile + ".raw",
                                "WriteBlock bytes=17640",
                                "QueryCounterB",
                                "QueryCounterA",
                                "Close",
                                "DestroyEncoder provider=1",
                                "Unload",
                            }));
}

TEST_F(LoadedLibrary, LogsMissingArgumentsAsNull) {
  const std::string log = scratch_.Path("calls.log");
  const SettingsBytes settings = test_encoder::ToBytes(MakeSettings(1, Behaviour::kSucceed, log));
  void* provider = Provider(0);
  void* encoder = nullptr;
  CreateEncoder(provider, nullptr, settings.data(), &encoder);
  ASSERT_EQ(CreateEncoder(provider, &kStereo16, settings.data(), &encoder), 0);
  Open(encoder, nullptr);
  GetInfo(encoder, nullptr);
  DestroyEncoder(provider, encoder);
  EXPECT_EQ(ReadLines(log), (Lines{
                                "GetProvider index=0",
                                "CreateEncoder provider=0 format=<null>",
                                "CreateEncoder provider=0 rate=44100 channels=2 bits=16",
                                "Open path=<null>",
                                "GetInfo info=<null>",
                                "DestroyEncoder provider=0",
                            }));
}

TEST_F(LoadedLibrary, LogsAThrowingCallBeforeItThrows) {
  const std::string log = scratch_.Path("calls.log");
  void* provider = Provider(0);
  void* encoder = Create(provider, MakeSettings(1, Behaviour::kThrowFromQueryCounterA, log));
  ASSERT_NE(encoder, nullptr);
  std::uint32_t counter = 0;
  EXPECT_ANY_THROW(QueryCounterA(encoder, &counter));
  DestroyEncoder(provider, encoder);
  EXPECT_EQ(ReadLines(log),
            (Lines{"GetProvider index=0", "CreateEncoder provider=0 rate=44100 channels=2 bits=16",
                   "QueryCounterA", "DestroyEncoder provider=0"}));
}

TEST_F(LoadedLibrary, SettingsWithoutALogDropTheWaitingLines) {
  const std::string log = scratch_.Path("calls.log");
  void* provider = Provider(0);
  void* encoder = Create(provider, MakeSettings(1));
  ASSERT_NE(encoder, nullptr);
  const SettingsBytes logging = test_encoder::ToBytes(MakeSettings(1, Behaviour::kSucceed, log));
  Describe(provider, logging.data(), nullptr, 0, nullptr, nullptr, nullptr);
  DestroyEncoder(provider, encoder);
  EXPECT_EQ(ReadLines(log), (Lines{"Describe provider=0 nameSize=0", "DestroyEncoder provider=0"}));
}

TEST_F(LoadedLibrary, LogThatCannotBeOpenedLeavesTheCallsWorking) {
  const std::string log = scratch_.Path("missing/calls.log");
  const SettingsBytes settings = test_encoder::ToBytes(MakeSettings(1, Behaviour::kSucceed, log));
  PlayRecording(Provider(0), settings, scratch_.Path("out"));
  Unload();
  EXPECT_EQ(ReadBytes(scratch_.Path("out.tst")), std::string(17640, 'p'));
  EXPECT_FALSE(std::filesystem::exists(scratch_.Path("missing")));
}

TEST_F(EnvironmentLog, TakesEffectAtLoadUntilTheSettingsNameAnother) {
  LoadWithLog(ZEL5ENC_TEST_LIBRARY);
  const std::string log = scratch_.Path("settings.log");
  getProviderCount_();
  void* provider = Provider(0);
  void* encoder = Create(provider, MakeSettings(1));
  ASSERT_NE(encoder, nullptr);
  const SettingsBytes logging = test_encoder::ToBytes(MakeSettings(1, Behaviour::kSucceed, log));
  Describe(provider, logging.data(), nullptr, 0, nullptr, nullptr, nullptr);
  DestroyEncoder(provider, encoder);
  Unload();
  EXPECT_EQ(ReadLines(log_), (Lines{"GetProviderCount", "GetProvider index=0",
                                    "CreateEncoder provider=0 rate=44100 channels=2 bits=16"}));
  EXPECT_EQ(ReadLines(log),
            (Lines{"Describe provider=0 nameSize=0", "DestroyEncoder provider=0", "Unload"}));
}

struct EnvironmentCase {
  const char* library;
  Lines lines;
};

class LibrariesWithoutProviders : public EnvironmentLog,
                                  public ::testing::WithParamInterface<EnvironmentCase> {};

// What a plug-in does with each: asks what it finds, then unloads.
TEST_P(LibrariesWithoutProviders, LogTheirCallsAndTheirUnload) {
  LoadWithLog(GetParam().library);
  if (getProviderCount_ != nullptr) {
    getProviderCount_();
  }
  if (getProvider_ != nullptr) {
    getProvider_(0);
  }
  Unload();
  EXPECT_EQ(ReadLines(log_), GetParam().lines);
}

INSTANTIATE_TEST_SUITE_P(
    Libraries, LibrariesWithoutProviders,
    ::testing::Values(EnvironmentCase{ZEL5ENC_EMPTY_LIBRARY,
                                      {"GetProviderCount", "GetProvider index=0", "Unload"}},
                      EnvironmentCase{ZEL5ENC_NOCOUNT_LIBRARY, {"GetProvider index=0", "Unload"}},
                      EnvironmentCase{ZEL5ENC_NOEXPORTS_LIBRARY, {"Unload"}}));

TEST_F(EnvironmentLog, StartsAfreshWithEveryLoad) {
  LoadWithLog(ZEL5ENC_TEST_LIBRARY);
  Unload();
  Load(ZEL5ENC_TEST_LIBRARY);
  const std::string log = scratch_.Path("settings.log");
  getProviderCount_();
  void* provider = Provider(0);
  DestroyEncoder(provider, Create(provider, MakeSettings(1, Behaviour::kSucceed, log)));
  Unload();
  EXPECT_EQ(ReadLines(log_), (Lines{"Unload"}));
  EXPECT_EQ(ReadLines(log), (Lines{"GetProviderCount", "GetProvider index=0",
                                   "CreateEncoder provider=0 rate=44100 channels=2 bits=16",
                                   "DestroyEncoder provider=0", "Unload"}))
      << "held until the settings came";
}

}  // namespace
}  // namespace zel5::test
