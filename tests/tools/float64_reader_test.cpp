#include "common/float64_reader.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sstream>
#include <stdexcept>

#include "common/float64_samples.h"
#include "tools/wav_bytes.h"

namespace zel5::tools {
namespace {

using ::testing::ElementsAre;

TEST(Float64Samples, AreLittleEndianIeeeDoubles) {
  const std::vector<double> samples = {1.0, -2.5};
  EXPECT_EQ(testing::Float64Bytes(samples), std::string("\x00\x00\x00\x00\x00\x00\xF0\x3F"
                                                        "\x00\x00\x00\x00\x00\x00\x04\xC0",
                                                        16));
  EXPECT_THAT(testing::Float64Values(testing::Float64Bytes(samples)), ElementsAre(1.0, -2.5));
}

TEST(Float64Reader, ReadsWholeFramesBlockByBlock) {
  const std::vector<double> samples = {0.1, 0.2, 0.3, 0.4, 0.5, 0.6};
  std::istringstream in(testing::Float64Bytes(samples));
  Float64Reader reader(in, "in.f64", 2);
  std::vector<double> block(4);
  EXPECT_EQ(reader.ReadFrames(block), 2u);
  EXPECT_THAT(block, ElementsAre(0.1, 0.2, 0.3, 0.4));
  EXPECT_EQ(reader.ReadFrames(block), 1u);
  EXPECT_EQ(block[0], 0.5);
  EXPECT_EQ(block[1], 0.6);
  EXPECT_EQ(reader.ReadFrames(block), 0u);
}

class Float64ReaderRefuses : public ::testing::TestWithParam<std::size_t> {};

TEST_P(Float64ReaderRefuses, AStreamEndingInsideAFrame) {
  const std::vector<double> samples = {0.1, 0.2, 0.3, 0.4};
  std::istringstream in(testing::Float64Bytes(samples).substr(0, GetParam()));
  Float64Reader reader(in, "in.f64", 2);
  std::vector<double> block(2 * 8);
  try {
    reader.ReadFrames(block);
    FAIL() << "accepted " << GetParam() << " bytes";
  } catch (const std::runtime_error& error) {
    EXPECT_STREQ(error.what(),
                 "in.f64 ends inside a frame: its length is not a multiple of 16 bytes (2 "
                 "channel(s) of 8-byte doubles)");
  }
}

// Half a sample, one of two channels, one channel and a half.
INSTANTIATE_TEST_SUITE_P(Lengths, Float64ReaderRefuses, ::testing::Values(4, 8, 24, 31));

}  // namespace
}  // namespace zel5::tools
