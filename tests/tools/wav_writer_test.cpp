#include "common/wav_writer.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sstream>
#include <stdexcept>
#include <vector>

#include "common/wav_reader.h"
#include "tools/wav_bytes.h"

namespace zel5::tools {
namespace {

using ::testing::ElementsAre;

std::span<const std::uint8_t> AsBytes(const std::string& text) {
  return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

TEST(WavWriter, WritesTheCanonicalHeaderWithTheFinalSizes) {
  std::ostringstream out;
  WavWriter writer(out, "out.wav", WavFormat{2, 48000});
  const std::string firstFrame("\x01\x00\xFF\xFF", 4);
  const std::string nextFrames("\x00\x80\xFF\x7F\x02\x00\x03\x00", 8);
  writer.Write(AsBytes(firstFrame));
  writer.Write(AsBytes(nextFrames));
  writer.Finish();
  using testing::U16Bytes;
  using testing::U32Bytes;
  const std::string expected = "RIFF" + U32Bytes(36 + 12) + "WAVE" + "fmt " + U32Bytes(16) +
                               U16Bytes(1) + U16Bytes(2) + U32Bytes(48000) + U32Bytes(48000 * 4) +
                               U16Bytes(4) + U16Bytes(16) + "data" + U32Bytes(12) + firstFrame +
                               nextFrames;
  EXPECT_EQ(out.str(), expected);
}

TEST(WavWriter, HeaderStartsWhereTheStreamStood) {
  std::ostringstream out;
  out << "prefix";
  WavWriter writer(out, "out.wav", WavFormat{1, 8000});
  writer.Write(AsBytes(std::string("\x05\x00", 2)));
  writer.Finish();
  std::istringstream in(out.str().substr(6));
  WavReader reader(in, "out.wav");
  EXPECT_EQ(reader.frames(), 1u);
}

TEST(WavWriter, WhatItWritesReadsBack) {
  std::ostringstream out;
  WavWriter writer(out, "out.wav", WavFormat{1, 22050});
  writer.Finish();
  std::istringstream empty(out.str());
  WavReader emptyReader(empty, "out.wav");
  EXPECT_EQ(emptyReader.format().rate, 22050u);
  EXPECT_EQ(emptyReader.frames(), 0u);

  std::ostringstream out2;
  WavWriter writer2(out2, "out.wav", WavFormat{2, 96000});
  writer2.Write(AsBytes(std::string("\x01\x00\x02\x00\x03\x00\x04\x00", 8)));
  writer2.Finish();
  std::istringstream in(out2.str());
  WavReader reader(in, "out.wav");
  EXPECT_EQ(reader.format().channels, 2);
  EXPECT_EQ(reader.format().rate, 96000u);
  std::vector<std::int16_t> samples(4);
  EXPECT_EQ(reader.ReadFrames(samples), 2u);
  EXPECT_THAT(samples, ElementsAre(1, 2, 3, 4));
}

TEST(WavWriter, RefusesARateWhoseByteRateDoesNotFitTheHeader) {
  std::ostringstream out;
  EXPECT_THROW(WavWriter(out, "out.wav", WavFormat{2, 1073741824}), std::runtime_error);
  EXPECT_NO_THROW(WavWriter(out, "out.wav", WavFormat{2, 1073741823}));
}

// Counts what it is given and keeps none of it.
class DiscardingBuffer : public std::streambuf {
 protected:
  std::streamsize xsputn(const char*, std::streamsize count) override { return count; }
  int_type overflow(int_type c) override { return traits_type::not_eof(c); }
};

TEST(WavWriter, RefusesDataBeyondWhatThe32BitSizesHold) {
  DiscardingBuffer discard;
  std::ostream out(&discard);
  WavWriter writer(out, "out.wav", WavFormat{2, 48000});
  // The largest whole number of stereo frames whose RIFF size fits 32 bits.
  const std::uint64_t largest = (0xFFFFFFFFull - 36) / 4 * 4;
  const std::vector<std::uint8_t> chunk(1u << 26);
  std::uint64_t written = 0;
  while (written < largest) {
    const std::size_t size = std::min<std::uint64_t>(chunk.size(), largest - written);
    writer.Write(std::span(chunk).first(size));
    written += size;
  }
  try {
    writer.Write(std::span(chunk).first(4));
    FAIL() << "accepted";
  } catch (const std::runtime_error& error) {
    EXPECT_STREQ(error.what(), "out.wav: more samples than a WAV file can hold (4 GiB)");
  }
}

}  // namespace
}  // namespace zel5::tools
