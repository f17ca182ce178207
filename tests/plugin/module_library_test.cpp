// The built module as a host loads it: exportdef by name, the object's
// slots through the raw tables, the host mode through the configuration
// library, and load and unload running attach and detach.
#include <gtest/gtest.h>

#include <cctype>
#include <string>
#include <vector>

#include "platform/dynamic_library.h"
#include "support/fake_host_stream.h"
#include "support/raw_slots.h"
#include "zel5/host_configuration.h"

namespace zel5::test {
namespace {

using ExportDef = void* (*)();

class ModuleLibrary : public ::testing::Test {
 protected:
  void SetUp() override {
    library_ = platform::DynamicLibrary::Load(ZEL5_RECORD_MODULE);
    ASSERT_NE(library_, nullptr) << ZEL5_RECORD_MODULE;
    exportdef_ = reinterpret_cast<ExportDef>(library_->Find("exportdef"));
    ASSERT_NE(exportdef_, nullptr);
  }
  void TearDown() override { Zel5SetHostModeFlag(0); }

  std::unique_ptr<platform::DynamicLibrary> library_;
  ExportDef exportdef_ = nullptr;
};

bool LooksLikeABuildDate(const std::string& date) {
  // "Jun 1 2007" or "Jun 28 2007": month, day, year, single blanks.
  const std::size_t first = date.find(' ');
  const std::size_t second = date.find(' ', first + 1);
  if (first != 3 || second == std::string::npos || date.size() - second - 1 != 4) {
    return false;
  }
  const std::string day = date.substr(first + 1, second - first - 1);
  return (day.size() == 1 || day.size() == 2) && std::isdigit(day[0]) && day[0] != '0';
}

TEST_F(ModuleLibrary, ExportsOneObjectWithItsIdentity) {
  void* filter = exportdef_();
  ASSERT_NE(filter, nullptr);
  EXPECT_EQ(exportdef_(), filter);
  EXPECT_EQ(CallSlot<std::uint32_t>(filter, 1), 0x40000007u);
  EXPECT_STREQ(CallSlot<const char*>(filter, 3), "Stream record filter");
  const std::string version = CallSlot<const char*>(filter, 4);
  ASSERT_EQ(version.rfind("1.0.", 0), 0u) << version;
  EXPECT_TRUE(LooksLikeABuildDate(version.substr(4))) << version;
}

TEST_F(ModuleLibrary, FlagsFollowTheHostModeFlag) {
  void* filter = exportdef_();
  Zel5SetHostModeFlag(0);
  EXPECT_EQ(CallSlot<std::uint32_t>(filter, 2), 0x04000000u);
  Zel5SetHostModeFlag(1);
  EXPECT_EQ(CallSlot<std::uint32_t>(filter, 2), 0xF8000000u);
}

class AcceptingRequest : public ProcessorRequest {
 public:
  std::int32_t DeclinesProcessor() override { return 0; }
};

TEST_F(ModuleLibrary, PassesBuffersThroughUntouchedAndReattachesAfterAReload) {
  void* filter = exportdef_();
  AcceptingRequest request;
  void* processor = CallSlot<void*>(filter, 5, static_cast<ProcessorRequest*>(&request));
  ASSERT_NE(processor, nullptr);
  FakeHostStream stream(1, 44100, 2);
  stream.SetBlock({0.5, -0.5}, {0.25, -0.25});
  CallSlot<void>(processor, 1, static_cast<HostStream*>(&stream));
  const SampleBlock* block = stream.GetSamples();
  EXPECT_EQ(block->count, 2u);
  EXPECT_EQ(block->left[0], 0.5);
  EXPECT_EQ(block->right[1], -0.25);
  CallSlot<void>(filter, 6, std::uint32_t{0}, static_cast<HostStream*>(&stream));

  library_.reset();
  library_ = platform::DynamicLibrary::Load(ZEL5_RECORD_MODULE);
  ASSERT_NE(library_, nullptr);
  exportdef_ = reinterpret_cast<ExportDef>(library_->Find("exportdef"));
  ASSERT_NE(exportdef_, nullptr);
  EXPECT_NE(exportdef_(), nullptr);
}

}  // namespace
}  // namespace zel5::test
