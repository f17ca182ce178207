// The plug-in object as a host sees it: its identity, its two interfaces
// called through their raw tables, and what attach sets up.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "plugin/module_fixture.h"
#include "plugin/version_text.h"
#include "support/fake_host_stream.h"
#include "support/raw_slots.h"

namespace zel5::test {
namespace {

class AnsweringRequest : public ProcessorRequest {
 public:
  explicit AnsweringRequest(std::int32_t answer) : answer_(answer) {}
  std::int32_t DeclinesProcessor() override {
    ++asked;
    return answer_;
  }
  int asked = 0;

 private:
  std::int32_t answer_;
};

using RawSlots = ModuleFixture;

TEST_F(RawSlots, FilterInterfaceAnswersAtItsSlots) {
  Attach();
  void* filter = module_->filter();
  ASSERT_NE(filter, nullptr);
  EXPECT_EQ(CallSlot<std::uint32_t>(filter, 1), 0x40000007u);
  EXPECT_EQ(CallSlot<std::uint32_t>(filter, 2), 0x04000000u);
  EXPECT_STREQ(CallSlot<const char*>(filter, 3), "Stream record filter");
  EXPECT_STREQ(CallSlot<const char*>(filter, 4), "1.0.Jun 1 2007");

  AnsweringRequest declines(1);
  EXPECT_EQ(CallSlot<void*>(filter, 5, static_cast<ProcessorRequest*>(&declines)), nullptr);
  EXPECT_EQ(declines.asked, 1);
  AnsweringRequest accepts(0);
  void* processor = CallSlot<void*>(filter, 5, static_cast<ProcessorRequest*>(&accepts));
  EXPECT_EQ(processor,
            static_cast<StreamProcessor*>(static_cast<RecordFilter*>(module_->filter())));

  FakeHostStream stream(1, 44100, 2);
  CallSlot<void>(filter, 6, std::uint32_t{0}, static_cast<HostStream*>(&stream));
  EXPECT_EQ(log_->disconnects, 0) << "not connected: a close does nothing";

  // Slot 0, where a host's compiler keeps the destructor, frees nothing.
  CallSlot<void*>(filter, 0, std::uint32_t{1});
  EXPECT_EQ(CallSlot<std::uint32_t>(filter, 1), 0x40000007u);
}

TEST_F(RawSlots, StreamProcessorTakesBuffersAtSlotOne) {
  Attach([](FakeRecorderLink& link) { link.linkUp = false; });
  AnsweringRequest accepts(0);
  void* processor = module_->filter()->GetProcessor(&accepts);
  ASSERT_NE(processor, nullptr);
  FakeHostStream stream(1, 44100, 2);
  CallSlot<void>(processor, 1, static_cast<HostStream*>(&stream));
  EXPECT_EQ(log_->connects, 1);
  CallSlot<void>(processor, 2, std::uint32_t{7});
  CallSlot<void*>(processor, 0, std::uint32_t{1});
  CallSlot<void>(processor, 1, static_cast<HostStream*>(&stream));
  EXPECT_EQ(log_->connects, 2);
}

using Flags = ModuleFixture;

TEST_F(Flags, FollowTheHostModeAtEveryCall) {
  Attach();
  FilterInterface* filter = module_->filter();
  EXPECT_EQ(filter->GetFlags(), 0x04000000u);
  host_.mode.flag = 5;
  EXPECT_EQ(filter->GetFlags(), 0xF8000000u);
  host_.mode.flag = 0;
  EXPECT_EQ(filter->GetFlags(), 0x04000000u);
  EXPECT_EQ(host_.mode.calls, 3);
}

using Attaching = ModuleFixture;

TEST_F(Attaching, MakesAFreshLinkAsksForBothServicesAndFormatsTheVersion) {
  Attach();
  EXPECT_EQ(linksMade_, 1);
  EXPECT_EQ(configurationCalls_, 2);
  EXPECT_FALSE(link_->IsConnected());
  EXPECT_EQ(link_->State(), ZEL5_STATE_IDLE);
  EXPECT_EQ(module_->filter(), module_->filter());
  EXPECT_STREQ(module_->VersionText(), "1.0.Jun 1 2007");
}

TEST(VersionText, DatesGetSingleBlanks) {
  const struct {
    const char* compiler;
    const char* text;
  } cases[] = {
      {"Jun  1 2007", "Jun 1 2007"},
      {"Jun 28 2007", "Jun 28 2007"},
      {"Dec 11 2026", "Dec 11 2026"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(BuildDateText(c.compiler), c.text);
    char buffer[kVersionTextSize];
    FormatVersionText(c.compiler, buffer);
    EXPECT_EQ(std::string(buffer), std::string("1.0.") + c.text);
  }
}

}  // namespace
}  // namespace zel5::test
