#include "convert/filter_node.h"

namespace zel5 {

void FilterNode::SetFormat(const WAVEFORMATEX* format) {
  rate_ = format->nSamplesPerSec;
  channels_ = format->nChannels;
}

int FilterNode::Process(SampleBlock block) {
  if (next_ != nullptr) {
    next_->Process(block);
  }
  return Filter(block) != 0 ? 1 : 0;
}

void FilterNode::Nop() {}

void FilterNode::SetNext(FilterNode* node) {
  next_ = node;
}

int FilterNode::Filter(SampleBlock) {
  return 1;
}

}  // namespace zel5
