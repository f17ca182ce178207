// Another process's memory through a handle: exact counts, short counts at
// the end of what is mapped, nothing at all where nothing is, and no handle
// on a process that is not there or not ours.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/process.h"
#include "platform/process_memory.h"
#include "transport/peer_process.h"
#include "transport/peer_protocol.h"

namespace zel5::transport::testing {
namespace {

// The peer's readable page, followed by one it may not touch.
class PeerMemory : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::string line = peer_.ReadLine();
    char* rest = nullptr;
    page_ = static_cast<std::uintptr_t>(std::strtoull(line.c_str(), &rest, 16));
    pageSize_ = static_cast<std::size_t>(std::strtoull(rest, nullptr, 16));
    ASSERT_NE(page_, 0u);
    ASSERT_GT(pageSize_, 64u);
    process_ = platform::ProcessHandle::Open(peer_.Id());
    ASSERT_NE(process_, nullptr);
  }

  std::uintptr_t Guard() const { return page_ + pageSize_; }

  PeerProcess peer_{PeerCommand({"memory"})};
  std::uintptr_t page_ = 0;
  std::size_t pageSize_ = 0;
  std::unique_ptr<platform::ProcessHandle> process_;
};

std::vector<std::uint8_t> Expected(std::size_t offset, std::size_t size) {
  std::vector<std::uint8_t> bytes(size);
  for (std::size_t i = 0; i < size; ++i) {
    bytes[i] = Pattern(offset + i);
  }
  return bytes;
}

struct Span {
  std::size_t offset;
  std::size_t size;
};

class WholeRead : public PeerMemory, public ::testing::WithParamInterface<Span> {};

TEST_P(WholeRead, MovesExactlyTheBytesAsked) {
  const std::size_t offset = GetParam().offset;
  const std::size_t size = GetParam().size == 0 ? pageSize_ - offset : GetParam().size;
  std::vector<std::uint8_t> buffer(size);
  EXPECT_EQ(process_->Read(page_ + offset, buffer.data(), size), size);
  EXPECT_EQ(buffer, Expected(offset, size));
}

// A size of 0 stands for the rest of the page.
INSTANTIATE_TEST_SUITE_P(Table, WholeRead,
                         ::testing::Values(Span{0, 1}, Span{0, 0}, Span{100, 2940}, Span{3, 544},
                                           Span{4000, 0}));

class ReadIntoTheGuard : public PeerMemory, public ::testing::WithParamInterface<std::size_t> {};

TEST_P(ReadIntoTheGuard, IsShortByWhatLiesBeyond) {
  const std::size_t before = GetParam();
  std::vector<std::uint8_t> buffer(before + 16);
  EXPECT_EQ(process_->Read(Guard() - before, buffer.data(), buffer.size()), before);
  buffer.resize(before);
  EXPECT_EQ(buffer, Expected(pageSize_ - before, before));
}

INSTANTIATE_TEST_SUITE_P(Table, ReadIntoTheGuard, ::testing::Values(1, 8, 4096 - 2940));

TEST_F(PeerMemory, WritesMoveExactCountsThatThePeerSees) {
  const std::vector<std::uint8_t> bytes{0xde, 0xad, 0xbe, 0xef, 0x00, 0x11};
  EXPECT_EQ(process_->Write(page_ + 4, bytes.data(), bytes.size()), bytes.size());

  peer_.CloseInput();
  std::string expected;
  for (std::size_t offset = 0; offset < kDumpBytes; ++offset) {
    const bool written = offset >= 4 && offset < 4 + bytes.size();
    char text[4];
    std::snprintf(text, sizeof(text), "%02x", written ? bytes[offset - 4] : Pattern(offset));
    expected += text;
  }
  EXPECT_EQ(peer_.ReadLine(), expected);
  EXPECT_EQ(peer_.Wait(), 0);
}

TEST_F(PeerMemory, AWriteIntoTheGuardIsShort) {
  const std::vector<std::uint8_t> bytes(16, 0x77);
  EXPECT_EQ(process_->Write(Guard() - 8, bytes.data(), bytes.size()), 8u);
  std::vector<std::uint8_t> back(8);
  ASSERT_EQ(process_->Read(Guard() - 8, back.data(), back.size()), 8u);
  EXPECT_EQ(back, std::vector<std::uint8_t>(8, 0x77));
}

TEST_F(PeerMemory, NothingMovesWhereNothingIsMapped) {
  for (const std::uintptr_t address : {std::uintptr_t{0}, std::uintptr_t{0x1000}, Guard(),
                                       Guard() + pageSize_ / 2, ~std::uintptr_t{0} - 15}) {
    std::vector<std::uint8_t> buffer(16, 0x55);
    EXPECT_EQ(process_->Read(address, buffer.data(), buffer.size()), 0u) << address;
    EXPECT_EQ(process_->Write(address, buffer.data(), buffer.size()), 0u) << address;
  }
}

TEST_F(PeerMemory, NothingMovesForNothingOrFromNowhere) {
  std::uint8_t byte = 0;
  EXPECT_EQ(process_->Read(page_, &byte, 0), 0u);
  EXPECT_EQ(process_->Write(page_, &byte, 0), 0u);
  EXPECT_EQ(process_->Read(page_, nullptr, 4), 0u);
  EXPECT_EQ(process_->Write(page_, nullptr, 4), 0u);
}

TEST(ProcessHandle, OpensThisProcess) {
  const auto process = platform::ProcessHandle::Open(platform::CurrentProcessId());
  ASSERT_NE(process, nullptr);
  const std::uint32_t value = 0x5eed;
  std::uint32_t copy = 0;
  EXPECT_EQ(process->Read(reinterpret_cast<std::uintptr_t>(&value), &copy, sizeof(copy)),
            sizeof(copy));
  EXPECT_EQ(copy, value);
}

TEST(ProcessHandle, OpensNoProcessThatIsNotThere) {
  std::uint32_t gone = 0;
  {
    PeerProcess peer(PeerCommand({"memory"}));
    gone = peer.Id();
  }
  for (const std::uint32_t id : {std::uint32_t{0}, gone, std::uint32_t{0x7fffffff},
                                 std::uint32_t{0x80000000}, std::uint32_t{0xffffffff}}) {
    EXPECT_EQ(platform::ProcessHandle::Open(id), nullptr) << id;
  }
}

TEST(ProcessHandle, AnotherUserCannotOpenThisProcess) {
  if (!RunningAsRoot()) {
    GTEST_SKIP() << "needs root to start a process of another user";
  }
  PeerProcess peer(PeerCommand({"open-as-nobody", std::to_string(platform::CurrentProcessId())}));
  EXPECT_EQ(peer.ReadLine(), "denied");
  EXPECT_EQ(peer.Wait(), 0);
}

}  // namespace
}  // namespace zel5::transport::testing
