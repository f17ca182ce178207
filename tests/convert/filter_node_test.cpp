#include "convert/filter_node.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace zel5 {
namespace {

// Appends its tag to a shared log and marks the block, so that order and
// arguments of the calls can be read back.
class TaggingNode : public FilterNode {
 public:
  TaggingNode(std::string tag, std::vector<std::string>* log, int result)
      : tag_(std::move(tag)), log_(log), result_(result) {}
  int Filter(SampleBlock block) override {
    log_->push_back(tag_ + ":" + std::to_string(block.count));
    block.left[0] += 1.0;
    return result_;
  }

 private:
  std::string tag_;
  std::vector<std::string>* log_;
  int result_;
};

TEST(FilterNodeChain, TheNextNodeRunsFirstOnTheSameArrays) {
  std::vector<std::string> log;
  TaggingNode first("first", &log, 7);
  TaggingNode second("second", &log, 0);
  first.SetNext(&second);
  double left[2] = {0.0, 0.0};
  EXPECT_EQ(first.Process(SampleBlock{2, left, nullptr}), 1);
  EXPECT_EQ(log, (std::vector<std::string>{"second:2", "first:2"}));
  EXPECT_EQ(left[0], 2.0);
  // Its own Filter decides the result; the next node's is not used.
  EXPECT_EQ(second.Process(SampleBlock{2, left, nullptr}), 0);
}

TEST(FilterNodeBase, ProcessesNothingAndRecordsTheFormat) {
  FilterNode node;
  double left[1] = {0.25};
  double right[1] = {-0.5};
  EXPECT_EQ(node.Process(SampleBlock{1, left, right}), 1);
  EXPECT_EQ(left[0], 0.25);
  EXPECT_EQ(right[0], -0.5);
  node.Nop();
  const WAVEFORMATEX format{1, 2, 44100, 176400, 4, 16, 0};
  node.SetFormat(&format);
  EXPECT_EQ(node.rate(), 44100u);
  EXPECT_EQ(node.channels(), 2u);
}

}  // namespace
}  // namespace zel5
