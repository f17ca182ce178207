#include "common/wav_reader.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sstream>
#include <stdexcept>

#include "tools/wav_bytes.h"

namespace zel5::tools {
namespace {

using testing::Chunk;
using ::testing::ElementsAre;
using testing::ExtensibleFmtPayload;
using testing::FmtPayload;
using testing::Riff;
using testing::U16Bytes;
using testing::U32Bytes;

const std::string kStereoFmt = Chunk("fmt ", FmtPayload(1, 2, 44100, 4, 16));
// Frames (1, -2) and (32767, -32768).
const std::string kTwoFrames = std::string("\x01\x00\xFE\xFF\xFF\x7F\x00\x80", 8);

std::vector<std::int16_t> ReadAll(WavReader& reader, std::size_t framesPerRead) {
  std::vector<std::int16_t> all;
  std::vector<std::int16_t> block(framesPerRead * reader.format().channels);
  while (const std::size_t frames = reader.ReadFrames(block)) {
    all.insert(all.end(), block.begin(), block.begin() + frames * reader.format().channels);
  }
  return all;
}

struct GoodFile {
  std::string what;
  std::string bytes;
};

class WavReaderReads : public ::testing::TestWithParam<GoodFile> {};

TEST_P(WavReaderReads, FormatAndSamples) {
  std::istringstream in(GetParam().bytes);
  WavReader reader(in, "in.wav");
  EXPECT_EQ(reader.format().channels, 2);
  EXPECT_EQ(reader.format().rate, 44100u);
  EXPECT_EQ(reader.frames(), 2u);
  EXPECT_THAT(ReadAll(reader, 1), ElementsAre(1, -2, 32767, -32768));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, WavReaderReads,
    ::testing::Values(GoodFile{"plain", Riff(kStereoFmt + Chunk("data", kTwoFrames))},
                      GoodFile{"extensible",
                               Riff(Chunk("fmt ", ExtensibleFmtPayload(2, 44100, true)) +
                                    Chunk("data", kTwoFrames))},
                      GoodFile{"fmt_with_cbSize",
                               Riff(Chunk("fmt ", FmtPayload(1, 2, 44100, 4, 16) + U16Bytes(0)) +
                                    Chunk("data", kTwoFrames))},
                      // An odd chunk is followed by its pad byte, which is not the next id.
                      GoodFile{"unknown_chunks_around_fmt",
                               Riff(Chunk("LIST", "abc") + kStereoFmt + Chunk("fact", U32Bytes(2)) +
                                    Chunk("data", kTwoFrames))},
                      GoodFile{"chunk_after_data", Riff(kStereoFmt + Chunk("data", kTwoFrames) +
                                                        Chunk("LIST", "trailing info"))}),
    [](const auto& info) { return info.param.what; });

TEST(WavReader, ReadsInBlocksAndStopsAtTheDeclaredData) {
  std::string data;
  for (std::int16_t i = 0; i < 10; ++i) {
    data += U16Bytes(static_cast<std::uint16_t>(i));
  }
  std::istringstream in(Riff(Chunk("fmt ", FmtPayload(1, 1, 8000, 2, 16)) + Chunk("data", data) +
                             Chunk("junk", "not samples")));
  WavReader reader(in, "in.wav");
  std::vector<std::int16_t> block(4);
  EXPECT_EQ(reader.ReadFrames(block), 4u);
  EXPECT_THAT(block, ElementsAre(0, 1, 2, 3));
  EXPECT_EQ(reader.ReadFrames(block), 4u);
  EXPECT_EQ(reader.ReadFrames(block), 2u);
  EXPECT_THAT(std::vector<std::int16_t>(block.begin(), block.begin() + 2), ElementsAre(8, 9));
  EXPECT_EQ(reader.ReadFrames(block), 0u);
}

TEST(WavReader, RefusesDataThatEndsBeforeItsDeclaredSize) {
  std::string file = Riff(kStereoFmt + "data" + U32Bytes(16) + kTwoFrames);
  std::istringstream in(file);
  WavReader reader(in, "in.wav");
  std::vector<std::int16_t> block(2 * 8);
  try {
    reader.ReadFrames(block);
    FAIL() << "accepted";
  } catch (const std::runtime_error& error) {
    EXPECT_STREQ(error.what(),
                 "in.wav: the data ends early: the data chunk declares 16 bytes, the file holds 8");
  }
}

struct BadFile {
  std::string what;
  std::string bytes;
  std::string message;
};

class WavReaderRefuses : public ::testing::TestWithParam<BadFile> {};

TEST_P(WavReaderRefuses, NamingTheFileAndTheFault) {
  std::istringstream in(GetParam().bytes);
  try {
    WavReader reader(in, "in.wav");
    FAIL() << "accepted";
  } catch (const std::runtime_error& error) {
    EXPECT_EQ(std::string(error.what()), "in.wav: " + GetParam().message);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, WavReaderRefuses,
    ::testing::Values(
        BadFile{"empty", "", "ends inside the RIFF header"},
        BadFile{"not_RIFF", "RIFX" + U32Bytes(4) + "WAVE", "not a RIFF/WAVE file"},
        BadFile{"not_WAVE", "RIFF" + U32Bytes(4) + "AVI ", "not a RIFF/WAVE file"},
        BadFile{"no_chunks", Riff(""), "no data chunk"},
        BadFile{"no_data", Riff(kStereoFmt), "no data chunk"},
        BadFile{"data_first", Riff(Chunk("data", kTwoFrames) + kStereoFmt),
                "the data chunk comes before the fmt chunk"},
        BadFile{"two_fmt", Riff(kStereoFmt + kStereoFmt + Chunk("data", "")), "has two fmt chunks"},
        BadFile{"24_bit", Riff(Chunk("fmt ", FmtPayload(1, 2, 44100, 6, 24)) + Chunk("data", "")),
                "has 24-bit samples; only 16-bit PCM is read"},
        BadFile{"8_bit", Riff(Chunk("fmt ", FmtPayload(1, 1, 8000, 1, 8)) + Chunk("data", "")),
                "has 8-bit samples; only 16-bit PCM is read"},
        BadFile{"float", Riff(Chunk("fmt ", FmtPayload(3, 2, 44100, 16, 64)) + Chunk("data", "")),
                "not PCM (format tag 0x0003)"},
        BadFile{"extensible_float",
                Riff(Chunk("fmt ", ExtensibleFmtPayload(2, 44100, false)) + Chunk("data", "")),
                "not PCM (the extensible subformat is not PCM)"},
        BadFile{"extensible_short",
                Riff(Chunk("fmt ", FmtPayload(0xFFFE, 2, 44100, 4, 16) + U16Bytes(0)) +
                     Chunk("data", "")),
                "the extensible fmt chunk is too short"},
        BadFile{"short_fmt", Riff(Chunk("fmt ", FmtPayload(1, 2, 44100, 4, 16).substr(0, 14))),
                "the fmt chunk is too short (14 bytes)"},
        BadFile{"zero_channels",
                Riff(Chunk("fmt ", FmtPayload(1, 0, 44100, 0, 16)) + Chunk("data", "")),
                "the fmt chunk gives 0 channels at 44100 Hz"},
        BadFile{"zero_rate", Riff(Chunk("fmt ", FmtPayload(1, 2, 0, 4, 16)) + Chunk("data", "")),
                "the fmt chunk gives 2 channels at 0 Hz"},
        BadFile{"block_align",
                Riff(Chunk("fmt ", FmtPayload(1, 2, 44100, 2, 16)) + Chunk("data", "")),
                "the fmt chunk's block align 2 does not match 2 channels of 16 bits"},
        BadFile{"partial_frame", Riff(kStereoFmt + Chunk("data", kTwoFrames.substr(0, 6))),
                "the data chunk of 6 bytes ends inside a frame (4 bytes each)"},
        BadFile{"cut_chunk_header", Riff(kStereoFmt + "dat"), "ends inside a chunk header"},
        BadFile{"cut_unknown_chunk", Riff(kStereoFmt + "LIST" + U32Bytes(100) + "abc"),
                "ends inside a chunk"},
        BadFile{"cut_fmt", Riff("fmt " + U32Bytes(16) + "abcd"), "ends inside the fmt chunk"}),
    [](const auto& info) { return info.param.what; });

}  // namespace
}  // namespace zel5::tools
