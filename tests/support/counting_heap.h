// A heap for the IIR library's aligned blocks that records every request and
// can be told to fail one of them.
#pragma once

#include <cstddef>
#include <cstdlib>
#include <vector>

#include "iir/aligned_block.h"

namespace zel5::test {

class CountingHeap {
 public:
  // failRequest: the 1-based request that is refused, or 0 for none.
  explicit CountingHeap(int failRequest = 0) : previous_(nspSetHeap({&Allocate, &Release})) {
    state().requests.clear();
    state().failRequest = failRequest;
    state().outstanding = 0;
  }
  ~CountingHeap() { nspSetHeap(previous_); }
  CountingHeap(const CountingHeap&) = delete;
  CountingHeap& operator=(const CountingHeap&) = delete;

  const std::vector<std::size_t>& requests() const { return state().requests; }
  int outstanding() const { return state().outstanding; }

 private:
  struct State {
    std::vector<std::size_t> requests;
    int failRequest = 0;
    int outstanding = 0;
  };
  static State& state() {
    static State s;
    return s;
  }
  static void* Allocate(std::size_t bytes) {
    state().requests.push_back(bytes);
    if (static_cast<int>(state().requests.size()) == state().failRequest) {
      return nullptr;
    }
    ++state().outstanding;
    return std::malloc(bytes);
  }
  static void Release(void* block) {
    --state().outstanding;
    std::free(block);
  }

  NspHeap previous_;
};

}  // namespace zel5::test
