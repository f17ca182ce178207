// A plug-in module with its real controller link, attached to a controller
// endpoint on a thread of this process over the real transport, a test
// clock, one host stream, and the test encoder library.
#pragma once

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "control/controller_link.h"
#include "encoders/test_encoder/test_encoder_settings.h"
#include "link/controller_endpoint.h"
#include "plugin/plugin_module.h"
#include "support/fake_host_configuration.h"
#include "support/fake_host_stream.h"
#include "transport/scratch_runtime.h"

namespace zel5::test {

class RecorderFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    tick_ = 0;
    controller_ = controller::ControllerEndpoint::Create();
    ASSERT_NE(controller_, nullptr);
    host_.windows.window = controller_->Window();
    output_ = runtime_.Directory().parent_path() / "out";
    std::filesystem::create_directories(output_);
    log_ = (output_ / "calls.log").string();
    SetBlock(0);
  }
  void TearDown() override { module_.reset(); }

  void Attach() {
    module_ = std::make_unique<PluginModule>(ModuleDependencies{
        .getConfiguration = [this] { return &host_; },
        .tickCount = [this] { return tick_.load(); },
        .makeLink = [](PluginWindowService& windows) -> std::unique_ptr<RecorderLink> {
          return std::make_unique<ControllerLink>(windows);
        },
        .buildDate = __DATE__,
    });
  }

  // The host's current block: block i of a signal whose every block differs.
  void SetBlock(int i) {
    std::vector<double> left(441), right(441);
    for (std::size_t k = 0; k < left.size(); ++k) {
      left[k] = 0.001 * (i + 1) + 0.00001 * static_cast<double>(k);
      right[k] = -0.002 * (i + 1);
    }
    stream_.SetBlock(left, right);
  }
  // One buffer call, with no pump due.
  void Buffer() { module_->ProcessBuffer(stream_); }
  // One buffer call with a pump due.
  void BufferAndPump() {
    tick_ += 501;
    module_->ProcessBuffer(stream_);
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

  std::vector<std::string> CallLog() const {
    std::ifstream in(log_);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) {
      lines.push_back(line);
    }
    return lines;
  }
  static std::string FileBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }

  transport::testing::ScratchRuntime runtime_;
  std::unique_ptr<controller::ControllerEndpoint> controller_;
  FakeHostConfiguration host_;
  std::atomic<std::uint32_t> tick_{0};
  FakeHostStream stream_{1, 44100, 2};
  std::filesystem::path output_;
  std::string log_;
  std::unique_ptr<PluginModule> module_;
};

}  // namespace zel5::test
