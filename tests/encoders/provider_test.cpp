// The providers that the test library hands out, what Describe and GetInfo
// report, and the entry points of the libraries without providers.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "encoders/loaded_library.h"

namespace zel5::test {
namespace {

using test_encoder::MakeSettings;
using test_encoder::Settings;
using test_encoder::SettingsBytes;
using test_encoder::ToBytes;

std::string DescribedName(void* provider, const SettingsBytes& settings) {
  char name[ZEL5_ENCODER_NAME_SIZE] = {};
  std::int32_t values[3] = {};
  EXPECT_EQ(
      Describe(provider, settings.data(), name, sizeof name, &values[0], &values[1], &values[2]),
      0);
  return name;
}

std::string ReportedExtension(void* encoder) {
  EncoderInfo info = {};
  info.size = ZEL5_ENCODER_INFO_SIZE;
  EXPECT_EQ(GetInfo(encoder, &info), 0);
  return info.extension;
}

struct ProviderCase {
  std::uint32_t index;
  std::uint32_t id;
  const char* name;
  const char* extension;
};

class Providers : public LoadedLibrary, public ::testing::WithParamInterface<ProviderCase> {};

TEST_P(Providers, AnswerWithTheirIdNameAndExtension) {
  const ProviderCase& expected = GetParam();
  ASSERT_EQ(getProviderCount_(), 3u);
  void* provider = Provider(expected.index);
  ASSERT_NE(provider, nullptr);
  EXPECT_EQ(getProvider_(expected.index), provider) << "providers are the library's own";
  EXPECT_EQ(GetId(provider), expected.id);
  const Settings settings = MakeSettings(static_cast<std::int32_t>(expected.id));
  EXPECT_EQ(DescribedName(provider, ToBytes(settings)), expected.name);
  void* encoder = Create(provider, settings);
  ASSERT_NE(encoder, nullptr);
  EXPECT_EQ(ReportedExtension(encoder), expected.extension);
  EXPECT_EQ(DestroyEncoder(provider, encoder), 0);
}

INSTANTIATE_TEST_SUITE_P(EachIndex, Providers,
                         ::testing::Values(ProviderCase{0, 1, "Test encoder", "tst"},
                                           ProviderCase{1, 2, "Second", "raw"},
                                           ProviderCase{2, 1, "Shadow", "shd"}));

TEST_F(LoadedLibrary, HasNoProviderBeyondTheCount) {
  EXPECT_EQ(getProvider_(getProviderCount_()), nullptr);
  EXPECT_EQ(getProvider_(0xFFFFFFFFu), nullptr);
}

struct NameBoundCase {
  std::uint32_t nameSize;
  std::string settingsName;
  std::string expected;
};

class DescribeNameBounds : public LoadedLibrary,
                           public ::testing::WithParamInterface<NameBoundCase> {};

TEST_P(DescribeNameBounds, StaysWithinTheBufferAndEndsInNul) {
  const NameBoundCase& bound = GetParam();
  Settings settings = MakeSettings(1);
  test_encoder::SetText(settings.name, bound.settingsName);
  const SettingsBytes bytes = ToBytes(settings);
  char buffer[300];
  std::memset(buffer, '#', sizeof buffer);
  EXPECT_EQ(Describe(Provider(0), bytes.data(), buffer, bound.nameSize, nullptr, nullptr, nullptr),
            0);
  if (bound.nameSize > 0) {
    EXPECT_EQ(std::string(buffer), bound.expected);
  }
  for (std::size_t at = bound.expected.size() + (bound.nameSize > 0 ? 1 : 0); at < sizeof buffer;
       ++at) {
    ASSERT_EQ(buffer[at], '#') << "written at " << at;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Sizes, DescribeNameBounds,
    ::testing::Values(NameBoundCase{0, "", ""}, NameBoundCase{1, "", ""},
                      NameBoundCase{5, "", "Test"}, NameBoundCase{12, "", "Test encode"},
                      NameBoundCase{13, "", "Test encoder"}, NameBoundCase{260, "", "Test encoder"},
                      NameBoundCase{260, "Override", "Override"},
                      NameBoundCase{4, "Override", "Ove"},
                      NameBoundCase{260, std::string(300, 'n'), std::string(259, 'n')}));

TEST_F(LoadedLibrary, DescribeReportsTheValuesOfTheSettings) {
  Settings settings = MakeSettings(1);
  settings.values[0] = 44100;
  settings.values[1] = -2;
  settings.values[2] = 0x7FFFFFFF;
  const SettingsBytes bytes = ToBytes(settings);
  char name[ZEL5_ENCODER_NAME_SIZE];
  std::int32_t values[3] = {7, 7, 7};
  EXPECT_EQ(
      Describe(Provider(0), bytes.data(), name, sizeof name, &values[0], &values[1], &values[2]),
      0);
  EXPECT_EQ(values[0], 44100);
  EXPECT_EQ(values[1], -2);
  EXPECT_EQ(values[2], 0x7FFFFFFF);
}

TEST_F(LoadedLibrary, DescribeWithoutSettingsOrPlacesReportsTheProvidersName) {
  char name[ZEL5_ENCODER_NAME_SIZE];
  std::int32_t values[3] = {7, 7, 7};
  EXPECT_EQ(Describe(Provider(1), nullptr, name, sizeof name, &values[0], &values[1], &values[2]),
            0);
  EXPECT_STREQ(name, "Second");
  EXPECT_EQ(values[0], 0);
  EXPECT_EQ(Describe(Provider(1), nullptr, nullptr, sizeof name, nullptr, nullptr, nullptr), 0);
}

TEST_F(LoadedLibrary, SettingsTextsWithoutNulAreCutAtTheirFieldsEnd) {
  SettingsBytes bytes = ToBytes(MakeSettings(1));
  std::memset(bytes.data() + offsetof(Settings, name), 'n', sizeof(Settings::name));
  std::memset(bytes.data() + offsetof(Settings, extension), 'e', sizeof(Settings::extension));
  EXPECT_EQ(DescribedName(Provider(0), bytes), std::string(259, 'n'));
  void* encoder = nullptr;
  ASSERT_EQ(CreateEncoder(Provider(0), &kStereo16, bytes.data(), &encoder), 0);
  EXPECT_EQ(ReportedExtension(encoder), std::string(143, 'e'));
  EXPECT_EQ(DestroyEncoder(Provider(0), encoder), 0);
}

TEST_F(LoadedLibrary, GetInfoReportsTheExtensionOfTheSettings) {
  Settings settings = MakeSettings(2);
  test_encoder::SetText(settings.extension, "wav");
  void* encoder = Create(Provider(1), settings);
  ASSERT_NE(encoder, nullptr);
  EXPECT_EQ(ReportedExtension(encoder), "wav");
  EXPECT_EQ(DestroyEncoder(Provider(1), encoder), 0);
}

TEST_F(LoadedLibrary, GetInfoRefusesARecordWithoutItsSize) {
  void* encoder = Create(Provider(0), MakeSettings(1));
  ASSERT_NE(encoder, nullptr);
  EncoderInfo info = {};
  info.size = ZEL5_ENCODER_INFO_SIZE - 1;
  EXPECT_NE(GetInfo(encoder, &info), 0);
  EXPECT_STREQ(info.extension, "");
  EXPECT_NE(GetInfo(encoder, nullptr), 0);
  EXPECT_EQ(DestroyEncoder(Provider(0), encoder), 0);
}

struct EntryPointCase {
  const char* path;
  bool hasGetProvider;
  bool hasGetProviderCount;
};

class EntryPoints : public ::testing::TestWithParam<EntryPointCase> {};

TEST_P(EntryPoints, AreExportedAsTheLibraryPromises) {
  const EntryPointCase& library = GetParam();
  auto loaded = platform::DynamicLibrary::Load(library.path);
  ASSERT_NE(loaded, nullptr) << library.path;
  auto getProvider = reinterpret_cast<GetProviderFunction>(loaded->Find("GetProvider"));
  auto getProviderCount =
      reinterpret_cast<GetProviderCountFunction>(loaded->Find("GetProviderCount"));
  EXPECT_EQ(getProvider != nullptr, library.hasGetProvider);
  EXPECT_EQ(getProviderCount != nullptr, library.hasGetProviderCount);
  if (getProviderCount != nullptr) {
    EXPECT_EQ(getProviderCount(), 0u);
  }
  if (getProvider != nullptr) {
    EXPECT_EQ(getProvider(0), nullptr);
  }
}

INSTANTIATE_TEST_SUITE_P(WithoutProviders, EntryPoints,
                         ::testing::Values(EntryPointCase{ZEL5ENC_EMPTY_LIBRARY, true, true},
                                           EntryPointCase{ZEL5ENC_NOCOUNT_LIBRARY, true, false},
                                           EntryPointCase{ZEL5ENC_NOEXPORTS_LIBRARY, false,
                                                          false}));

}  // namespace
}  // namespace zel5::test
