// The one format every stream is converted to and mixed in.
#pragma once

#include "zel5/host_interfaces.h"
#include "zel5/wave_format.h"

namespace zel5 {

// 16-bit PCM at the stream's rate, mono for a stream of exactly one channel
// and stereo for any other count. Asks the rate first, then the channels.
WAVEFORMATEX MixFormatFor(HostStream& stream);

}  // namespace zel5
