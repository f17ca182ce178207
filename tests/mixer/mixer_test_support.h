// Signals, formats and the reference conversion the mixer tests compare with.
#pragma once

#include <cstdint>
#include <vector>

#include "support/fake_host_stream.h"
#include "support/pcm_format.h"
#include "zel5/wave_format.h"

namespace zel5::test {

// Two channels of distinct tones, so a swap of left and right shows.
struct Signal {
  std::vector<double> left;
  std::vector<double> right;
};
Signal StereoTones(std::uint32_t frames, std::uint32_t rate);
// Frames [from, from + count) of the signal; right stays empty when it is.
Signal Slice(const Signal& signal, std::uint32_t from, std::uint32_t count);
// The signal cut into consecutive blocks of these lengths.
std::vector<Signal> Blocks(const Signal& signal, const std::vector<std::uint32_t>& lengths);

// A double that the converter writes as exactly this 16-bit value.
double Level(std::int16_t value);

// What one converter, made and initialised as a stream's ring makes its own,
// writes for these blocks (at most one second each) one after the other, as
// 16-bit samples.
std::vector<std::int16_t> Converted(const WAVEFORMATEX& input, const WAVEFORMATEX& mix,
                                    const std::vector<Signal>& blocks);

// Hands the signal to the stream as its current block.
void SetBlock(FakeHostStream& stream, const Signal& signal);

}  // namespace zel5::test
