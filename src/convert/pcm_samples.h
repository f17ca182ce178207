// Interleaved PCM (8-bit signed or 16-bit signed little-endian, one or two
// channels) to and from blocks of doubles.
#pragma once

#include <cstdint>

#include "zel5/sample_block.h"
#include "zel5/wave_format.h"

namespace zel5 {

// True for the PCM layouts these routines read and write.
bool IsConvertiblePcm(const WAVEFORMATEX& format);

// Reads block.count frames from pcm into block.left (and block.right with two
// channels). An 8-bit byte is signed; nothing is clipped on the way in.
void PcmToSamples(const std::uint8_t* pcm, const WAVEFORMATEX& format, SampleBlock block);

// Writes block.count frames: clipped to [-1, 1], scaled by 127 or 32767,
// truncated toward zero. With two channels block.right must be given.
void SamplesToPcm(SampleBlock block, const WAVEFORMATEX& format, std::uint8_t* pcm);

}  // namespace zel5
