// Each behaviour code of the settings makes exactly its one call fail or
// throw, in a recording played as the plug-in drives it.
#include <gtest/gtest.h>

#include <filesystem>
#include <stdexcept>
#include <string>

#include "encoders/loaded_library.h"

namespace zel5::test {
namespace {

using test_encoder::Behaviour;
using test_encoder::ExceptionKind;
using test_encoder::Settings;

// Plays start, one pump and stop, and lists every call that did not answer
// 0 with how it ended: "failed", "threw" (a std::runtime_error naming the
// call), "threw int N", or "threw '<what>'" for a wrong message.
class Recording {
 public:
  Recording(void* provider, const Settings& settings) : provider_(provider), settings_(settings) {}

  std::string Play(const std::string& path) {
    const test_encoder::SettingsBytes bytes = test_encoder::ToBytes(settings_);
    void* encoder = nullptr;
    Note("CreateEncoder",
         [&] { return CreateEncoder(provider_, &kStereo16, bytes.data(), &encoder); });
    if (encoder == nullptr) {
      return outcomes_;
    }
    char name[ZEL5_ENCODER_NAME_SIZE] = {};
    std::int32_t values[3] = {};
    Note("Describe", [&] {
      return Describe(provider_, bytes.data(), name, sizeof name, &values[0], &values[1],
                      &values[2]);
    });
    EncoderInfo info = {};
    info.size = ZEL5_ENCODER_INFO_SIZE;
    Note("GetInfo", [&] { return GetInfo(encoder, &info); });
    Note("Open", [&] { return Open(encoder, path.c_str()); });
    Note("WriteBlock", [&] { return WriteBlock(encoder, "abcdefgh", 8); });
    std::uint32_t counter = 0;
    Note("QueryCounterB", [&] { return QueryCounterB(encoder, &counter); });
    Note("QueryCounterA", [&] { return QueryCounterA(encoder, &counter); });
    Note("Close", [&] { return Close(encoder); });
    Note("DestroyEncoder", [&] { return DestroyEncoder(provider_, encoder); });
    return outcomes_;
  }

 private:
  template <typename Call>
  void Note(const std::string& operation, Call call) {
    std::string outcome;
    try {
      outcome = call() == 0 ? "" : "failed";
    } catch (const std::runtime_error& error) {
      const std::string expected = "test encoder: " + operation + " throws";
      outcome = error.what() == expected ? "threw" : "threw '" + std::string(error.what()) + "'";
    } catch (int code) {
      outcome = "threw int " + std::to_string(code);
    }
    if (!outcome.empty()) {
      outcomes_ += (outcomes_.empty() ? "" : " ") + operation + ":" + outcome;
    }
  }

  void* provider_;
  Settings settings_;
  std::string outcomes_;
};

constexpr const char* kNoFile = "<no file>";

struct BehaviourCase {
  Behaviour behaviour;
  ExceptionKind exception;
  std::string outcomes;
  std::string fileContent;
};

class Behaviours : public LoadedLibrary, public ::testing::WithParamInterface<BehaviourCase> {};

TEST_P(Behaviours, AffectTheirOneCall) {
  const BehaviourCase& expected = GetParam();
  Settings settings = test_encoder::MakeSettings(1, expected.behaviour);
  settings.exception = expected.exception;
  const std::string path = scratch_.Path("out.tst");
  EXPECT_EQ(Recording(Provider(0), settings).Play(path), expected.outcomes);
  EXPECT_EQ(std::filesystem::exists(path) ? ReadBytes(path) : kNoFile, expected.fileContent);
}

constexpr ExceptionKind kRuntimeError = ExceptionKind::kRuntimeError;

INSTANTIATE_TEST_SUITE_P(
    Codes, Behaviours,
    ::testing::Values(
        BehaviourCase{Behaviour::kSucceed, kRuntimeError, "", "abcdefgh"},
        BehaviourCase{static_cast<Behaviour>(99), kRuntimeError, "", "abcdefgh"},
        BehaviourCase{Behaviour::kFailCreateEncoder, kRuntimeError, "CreateEncoder:failed",
                      kNoFile},
        BehaviourCase{Behaviour::kFailOpen, kRuntimeError,
                      "Open:failed WriteBlock:failed Close:failed", kNoFile},
        BehaviourCase{Behaviour::kFailWriteBlock, kRuntimeError, "WriteBlock:failed", ""},
        BehaviourCase{Behaviour::kThrowFromCreateEncoder, kRuntimeError, "CreateEncoder:threw",
                      kNoFile},
        BehaviourCase{Behaviour::kThrowFromDescribe, kRuntimeError, "Describe:threw", "abcdefgh"},
        BehaviourCase{Behaviour::kThrowFromGetInfo, kRuntimeError, "GetInfo:threw", "abcdefgh"},
        BehaviourCase{Behaviour::kThrowFromOpen, kRuntimeError,
                      "Open:threw WriteBlock:failed Close:failed", kNoFile},
        BehaviourCase{Behaviour::kThrowFromWriteBlock, kRuntimeError, "WriteBlock:threw", ""},
        BehaviourCase{Behaviour::kThrowFromQueryCounterB, kRuntimeError, "QueryCounterB:threw",
                      "abcdefgh"},
        BehaviourCase{Behaviour::kThrowFromQueryCounterA, kRuntimeError, "QueryCounterA:threw",
                      "abcdefgh"},
        BehaviourCase{Behaviour::kThrowFromClose, kRuntimeError, "Close:threw", "abcdefgh"},
        BehaviourCase{Behaviour::kThrowFromDestroyEncoder, kRuntimeError, "DestroyEncoder:threw",
                      "abcdefgh"},
        BehaviourCase{Behaviour::kThrowFromOpen, ExceptionKind::kNonStandard,
                      "Open:threw int 7 WriteBlock:failed Close:failed", kNoFile},
        BehaviourCase{Behaviour::kThrowFromWriteBlock, ExceptionKind::kNonStandard,
                      "WriteBlock:threw int 8", ""}));

TEST_F(LoadedLibrary, BehaviourOfOneEncoderLeavesTheNextAlone) {
  const std::string path = scratch_.Path("out.tst");
  EXPECT_EQ(Recording(Provider(0), test_encoder::MakeSettings(1, Behaviour::kFailOpen)).Play(path),
            "Open:failed WriteBlock:failed Close:failed");
  EXPECT_EQ(Recording(Provider(0), test_encoder::MakeSettings(1)).Play(path), "");
  EXPECT_EQ(ReadBytes(path), "abcdefgh");
}

}  // namespace
}  // namespace zel5::test
