// A host stream for tests: a format, a current block and marks, all set by
// the test; counts the calls the plug-in makes.
#pragma once

#include <cstdint>
#include <map>
#include <vector>

#include "zel5/host_interfaces.h"

namespace zel5::test {

class FakeHostStream : public HostStream {
 public:
  FakeHostStream(std::uint32_t id, std::uint32_t rate, std::int32_t channels,
                 std::int32_t bitsPerSample = 16)
      : id_(id), rate_(rate), channels_(channels), bits_(bitsPerSample) {}

  // The block GetSamples hands out; right is left out for one channel.
  void SetBlock(std::vector<double> left, std::vector<double> right = {}) {
    left_ = std::move(left);
    right_ = std::move(right);
    block_ = SampleBlock{static_cast<std::uint32_t>(left_.size()), left_.data(),
                         right_.empty() ? nullptr : right_.data()};
  }
  // A block as a faulty host might give it.
  void SetRawBlock(SampleBlock block) { block_ = block; }

  std::uint32_t GetStreamId() override { return id_; }
  std::int32_t GetMark(std::uint32_t pluginId) override {
    const auto found = marks_.find(pluginId);
    return found == marks_.end() ? 0 : found->second;
  }
  void SetMark(std::uint32_t pluginId, std::int32_t value) override { marks_[pluginId] = value; }
  std::uint32_t GetSampleRate() override { return rate_; }
  std::int32_t GetChannels() override { return channels_; }
  std::int32_t GetBitsPerSample() override { return bits_; }
  SampleBlock* GetSamples() override {
    ++samplesAsked_;
    return &block_;
  }

  int samplesAsked() const { return samplesAsked_; }

 private:
  std::uint32_t id_;
  std::uint32_t rate_;
  std::int32_t channels_;
  std::int32_t bits_;
  std::map<std::uint32_t, std::int32_t> marks_;
  std::vector<double> left_, right_;
  SampleBlock block_{0, nullptr, nullptr};
  int samplesAsked_ = 0;
};

}  // namespace zel5::test
