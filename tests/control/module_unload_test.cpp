// The built module, loaded and unloaded as a host does it, while it records
// for a controller: the unload stops the recording, publishes Stopped and
// frees the encoder library before the module is gone.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "encoders/test_encoder/test_encoder_settings.h"
#include "link/controller_endpoint.h"
#include "platform/dynamic_library.h"
#include "support/fake_host_stream.h"
#include "support/raw_slots.h"
#include "transport/scratch_runtime.h"

namespace zel5::test {
namespace {

class AcceptingRequest : public ProcessorRequest {
 public:
  std::int32_t DeclinesProcessor() override { return 0; }
};

TEST(ModuleUnload, WhileRecordingStopsAndPublishesBeforeTheModuleGoes) {
  transport::testing::ScratchRuntime runtime;
  const auto controller = controller::ControllerEndpoint::Create();
  ASSERT_NE(controller, nullptr);
  const std::filesystem::path output = runtime.Directory().parent_path() / "out";
  std::filesystem::create_directories(output);
  const std::string log = (output / "calls.log").string();
  controller->Block().SetEncoderSettings(
      test_encoder::ToBytes(test_encoder::MakeSettings(1, {}, log)));
  controller->Block().SetText(&ControlBlock::outputFile, (output / "take").string());
  controller->Block().SetText(&ControlBlock::libraryPath, ZEL5ENC_TEST_LIBRARY);
  controller->Block().Store(&ControlBlock::command, ZEL5_COMMAND_START);

  auto library = platform::DynamicLibrary::Load(ZEL5_RECORD_MODULE);
  ASSERT_NE(library, nullptr);
  const auto exportdef = reinterpret_cast<void* (*)()>(library->Find("exportdef"));
  ASSERT_NE(exportdef, nullptr);
  void* filter = exportdef();
  AcceptingRequest request;
  void* processor = CallSlot<void*>(filter, 5, static_cast<ProcessorRequest*>(&request));
  ASSERT_NE(processor, nullptr);
  FakeHostStream stream(1, 44100, 2);
  stream.SetBlock(std::vector<double>(441, 0.25), std::vector<double>(441, -0.25));
  for (int i = 0; i < 3; ++i) {
    CallSlot<void>(processor, 1, static_cast<HostStream*>(&stream));
  }

  library.reset();
  ASSERT_TRUE(controller->WaitFor([](const controller::EndpointLog& seen) {
    return !seen.posts.empty() && seen.posts.back().message == MSG_LINK_CLOSED;
  }));
  const std::vector<controller::PostedMessage> posts = controller->Log().posts;
  ASSERT_GE(posts.size(), 3u);
  const ControlBlock& last = posts[posts.size() - 2].block;
  EXPECT_EQ(last.state, ZEL5_STATE_STOPPED);
  EXPECT_EQ(last.counterA, 3u * 441u) << "every buffer fed was written";
  std::ifstream in(log);
  std::string line, lastLine;
  while (std::getline(in, line)) {
    lastLine = line;
  }
  EXPECT_EQ(lastLine, "Unload");
  EXPECT_EQ(std::filesystem::file_size(output / "take.tst"), 3u * 441u * 4u);
}

}  // namespace
}  // namespace zel5::test
