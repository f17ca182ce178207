// A plug-in module attached to fake host services, a test clock and a fake
// controller link.
#pragma once

#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>

#include "plugin/fake_recorder_link.h"
#include "plugin/plugin_module.h"
#include "support/fake_host_configuration.h"

namespace zel5::test {

class ModuleFixture : public ::testing::Test {
 protected:
  // Attaches; configure shapes the link before the module first uses it.
  void Attach(std::function<void(FakeRecorderLink&)> configure = {}) {
    module_ = std::make_unique<PluginModule>(ModuleDependencies{
        .getConfiguration =
            [this] {
              ++configurationCalls_;
              return &host_;
            },
        .tickCount = [this] { return tick_.load(); },
        .makeLink = [this, configure](PluginWindowService&) -> std::unique_ptr<RecorderLink> {
          ++linksMade_;
          auto link = std::make_unique<FakeRecorderLink>(log_);
          link_ = link.get();
          if (configure) {
            configure(*link);
          }
          return link;
        },
        .buildDate = "Jun  1 2007",
    });
  }
  void Detach() { module_.reset(); }

  FakeHostConfiguration host_;
  std::atomic<std::uint32_t> tick_{0};
  std::shared_ptr<LinkLog> log_ = std::make_shared<LinkLog>();
  int configurationCalls_ = 0;
  int linksMade_ = 0;
  FakeRecorderLink* link_ = nullptr;  // owned by the module
  std::unique_ptr<PluginModule> module_;
};

}  // namespace zel5::test
