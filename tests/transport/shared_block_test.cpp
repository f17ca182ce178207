// The controller's block: fields stored whole, texts and settings bounded
// and cleared behind, and the block where its address says.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <tuple>
#include <vector>

#include "link/shared_block.h"
#include "platform/process.h"
#include "platform/process_memory.h"

namespace zel5::controller {
namespace {

bool AllZero(const void* data, std::size_t size) {
  const auto* bytes = static_cast<const std::uint8_t*>(data);
  for (std::size_t i = 0; i < size; ++i) {
    if (bytes[i] != 0) {
      return false;
    }
  }
  return true;
}

TEST(SharedBlock, StartsAllZero) {
  const SharedBlock block;
  const ControlBlock copy = block.Snapshot();
  EXPECT_TRUE(AllZero(&copy, sizeof(copy)));
}

using Field = std::int32_t ControlBlock::*;

class StoredField : public ::testing::TestWithParam<Field> {};

TEST_P(StoredField, IsLoadedBackAndTouchesNothingElse) {
  SharedBlock block;
  block.Store(GetParam(), -123456789);
  EXPECT_EQ(block.Load(GetParam()), -123456789);
  ControlBlock copy = block.Snapshot();
  EXPECT_EQ(copy.*GetParam(), -123456789);
  copy.*GetParam() = 0;
  EXPECT_TRUE(AllZero(&copy, sizeof(copy)));
}

INSTANTIATE_TEST_SUITE_P(Table, StoredField,
                         ::testing::Values(&ControlBlock::updated, &ControlBlock::linkId,
                                           &ControlBlock::state, &ControlBlock::command));

using TextField = char (ControlBlock::*)[ZEL5_TEXT_FIELD];

struct NamedText {
  const char* name;
  TextField field;
};

struct TextCase {
  std::size_t length;
  std::size_t kept;
};

class StoredText : public ::testing::TestWithParam<std::tuple<NamedText, TextCase>> {};

TEST_P(StoredText, IsCutToTheFieldAndClearsWhatWasThere) {
  const auto [named, sizes] = GetParam();
  SharedBlock block;
  block.SetText(named.field, std::string(400, 'x'));
  block.SetText(named.field, std::string(sizes.length, 'a'));
  const ControlBlock copy = block.Snapshot();
  const char* text = copy.*named.field;
  EXPECT_EQ(std::string(text, sizes.kept), std::string(sizes.kept, 'a'));
  EXPECT_TRUE(AllZero(text + sizes.kept, ZEL5_TEXT_FIELD - sizes.kept));
  ControlBlock rest = copy;
  std::memset(rest.*named.field, 0, ZEL5_TEXT_FIELD);
  EXPECT_TRUE(AllZero(&rest, sizeof(rest)));
}

INSTANTIATE_TEST_SUITE_P(
    Table, StoredText,
    ::testing::Combine(::testing::Values(NamedText{"outputFile", &ControlBlock::outputFile},
                                         NamedText{"libraryPath", &ControlBlock::libraryPath},
                                         NamedText{"encoderName", &ControlBlock::encoderName}),
                       ::testing::Values(TextCase{0, 0}, TextCase{5, 5}, TextCase{259, 259},
                                         TextCase{260, 259}, TextCase{1000, 259})),
    [](const ::testing::TestParamInfo<std::tuple<NamedText, TextCase>>& info) {
      return std::string(std::get<0>(info.param).name) + "_" +
             std::to_string(std::get<1>(info.param).length);
    });

class StoredSettings : public ::testing::TestWithParam<TextCase> {};

TEST_P(StoredSettings, AreCutToTheFieldAndClearWhatWasThere) {
  SharedBlock block;
  block.SetEncoderSettings(std::vector<std::uint8_t>(2000, 0xff));
  std::vector<std::uint8_t> settings(GetParam().length);
  for (std::size_t i = 0; i < settings.size(); ++i) {
    settings[i] = static_cast<std::uint8_t>(i % 251 + 1);
  }
  block.SetEncoderSettings(settings);
  const ControlBlock copy = block.Snapshot();
  const std::size_t kept = GetParam().kept;
  EXPECT_TRUE(std::equal(settings.begin(), settings.begin() + kept, copy.encoderSettings));
  EXPECT_TRUE(AllZero(copy.encoderSettings + kept, sizeof(copy.encoderSettings) - kept));
}

INSTANTIATE_TEST_SUITE_P(Table, StoredSettings,
                         ::testing::Values(TextCase{0, 0}, TextCase{4, 4}, TextCase{1024, 1024},
                                           TextCase{1025, 1024}, TextCase{3000, 1024}));

TEST(SharedBlock, AddressIsWhereTheBlockIs) {
  SharedBlock block;
  block.Store(&ControlBlock::linkId, 31);
  block.SetText(&ControlBlock::outputFile, "take");
  EXPECT_EQ(block.Address(), block.Address());
  const auto self = platform::ProcessHandle::Open(platform::CurrentProcessId());
  ASSERT_NE(self, nullptr);
  ControlBlock read{};
  ASSERT_EQ(self->Read(block.Address(), &read, sizeof(read)), sizeof(read));
  const ControlBlock copy = block.Snapshot();
  EXPECT_EQ(std::memcmp(&read, &copy, sizeof(read)), 0);
}

}  // namespace
}  // namespace zel5::controller
