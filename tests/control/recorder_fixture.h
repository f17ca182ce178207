// The module of HostFixture attached to a controller endpoint on a thread
// of this process, over the real transport, and the test encoder library.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "control/host_fixture.h"
#include "encoders/test_encoder/test_encoder_settings.h"
#include "link/controller_endpoint.h"
#include "zel5/control_protocol.h"

namespace zel5::test {

class RecorderFixture : public HostFixture {
 protected:
  void SetUp() override {
    HostFixture::SetUp();
    controller_ = controller::ControllerEndpoint::Create();
    ASSERT_NE(controller_, nullptr);
    host_.windows.window = controller_->Window();
  }

  void Command(std::int32_t command) { block().Store(&ControlBlock::command, command); }
  void PrepareStart(const test_encoder::Settings& settings, const std::string& library,
                    const std::string& outputName = "take") {
    const test_encoder::SettingsBytes bytes = test_encoder::ToBytes(settings);
    block().SetEncoderSettings(bytes);
    block().SetText(&ControlBlock::outputFile, (output_ / outputName).string());
    block().SetText(&ControlBlock::libraryPath, library);
  }
  test_encoder::Settings Succeeding() const { return test_encoder::MakeSettings(1, {}, log_); }

  controller::SharedBlock& block() { return controller_->Block(); }

  // The posts seen so far, once at least count of them have arrived.
  std::vector<controller::PostedMessage> Posts(std::size_t count) {
    EXPECT_TRUE(controller_->WaitFor([count](const controller::EndpointLog& log) {
      return log.posts.size() >= count;
    })) << "waiting for "
        << count << " posts";
    return controller_->Log().posts;
  }
  // Waits for the link to be closed and gives every post up to it.
  std::vector<controller::PostedMessage> PostsUntilClosed() {
    EXPECT_TRUE(controller_->WaitFor([](const controller::EndpointLog& log) {
      return !log.posts.empty() && log.posts.back().message == MSG_LINK_CLOSED;
    }));
    return controller_->Log().posts;
  }

  std::unique_ptr<controller::ControllerEndpoint> controller_;
};

}  // namespace zel5::test
