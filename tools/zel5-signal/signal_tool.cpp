#include "zel5-signal/signal_tool.h"

#include "common/arg_list.h"
#include "common/tool_run.h"
#include "zel5-signal/signal_options.h"
#include "zel5-signal/signal_run.h"

namespace zel5::tools {
namespace {

constexpr const char* kUsage = R"(Usage: zel5-signal --rate R --channels C --seconds S
                   [--signal sine:FREQ|sweep:F1-F2|noise|chord] [--gain G] OUT

Writes S seconds (rounded to whole frames) of a test signal at R Hz.

  OUT                 raw interleaved little-endian float64 (any name but
                      *.wav, or - for stdout), or a 16-bit PCM .wav file
                      (clipped to [-1, 1], scaled by 32767, truncated)
  --rate R            1 to 1073741823 Hz
  --channels C        1 or 2
  --seconds S         more than 0, at most 86400
  --signal sine:FREQ  a sine starting at phase 0 (default sine:440)
  --signal sweep:F1-F2
                      a sine whose frequency moves linearly from F1 to F2
  --signal noise      uniform white noise, fixed seed, each channel its own
  --signal chord      an A major triad (440, 554.37, 659.26 Hz)
  --gain G            peak level, 0 to 10 (default 0.5)
  --help              show this text

Frequencies are 0 to R/2 Hz. Every channel but noise's is the same.

Example:
  zel5-signal --rate 44100 --channels 2 --seconds 2 --signal sweep:20-20000 sweep.wav

Exit status: 0 on success, 2 on any error (one line on stderr; OUT is left
as it was).
)";

}  // namespace

int RunSignalTool(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  return RunReportingFailure("zel5-signal", err, [&] {
    const ArgList list = SplitArgs(args, SignalOptionNames());
    if (list.help) {
      out << kUsage;
      return;
    }
    RunSignal(ParseSignalOptions(list), out);
  });
}

}  // namespace zel5::tools
