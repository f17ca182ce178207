// The host's side of a recording: a plug-in module with its real controller
// link, a test clock, one host stream, a folder for the output and the test
// encoder's call log. Where the controller is, is up to the test.
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
#include "plugin/plugin_module.h"
#include "support/fake_host_configuration.h"
#include "support/fake_host_stream.h"
#include "transport/scratch_runtime.h"

namespace zel5::test {

class HostFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    tick_ = 0;
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
  FakeHostConfiguration host_;
  std::atomic<std::uint32_t> tick_{0};
  FakeHostStream stream_{1, 44100, 2};
  std::filesystem::path output_;
  std::string log_;
  std::unique_ptr<PluginModule> module_;
};

}  // namespace zel5::test
