#include "zel5-convert/convert_tool.h"

#include "common/arg_list.h"
#include "common/tool_run.h"
#include "zel5-convert/convert_options.h"
#include "zel5-convert/convert_run.h"

namespace zel5::tools {
namespace {

constexpr const char* kUsage =
    R"(Usage: zel5-convert --in-rate R --in-channels C --out-rate R2 --out-channels C2
                    [--block FRAMES] [--stage pcm|resampled] IN OUT

Runs IN through one format converter block by block, as a stream's ring
buffer feeds it, and writes what the converter gives to OUT.

  IN                  raw interleaved little-endian float64 (any name but
                      *.wav, or - for stdin), or a 16-bit PCM .wav file
  OUT                 raw interleaved little-endian int16 (any name but
                      *.wav, or - for stdout), or a 16-bit PCM .wav file
  --in-rate R         input rate in Hz (default for .wav: the file's)
  --in-channels C     1 or 2 (default for .wav: the file's; must agree)
  --out-rate R2       output rate in Hz
  --out-channels C2   1 or 2
  --block FRAMES      input frames per block, 1 to R (default R/100, at
                      least 1)
  --stage pcm         write the converter's 16-bit PCM (the default)
  --stage resampled   write instead the float64 samples after the rate
                      change, in the input's channels (raw OUT only)
  --help              show this text

Rates are 1 to 1073741823 Hz.

Example:
  zel5-convert --in-rate 44100 --in-channels 2 --out-rate 48000 --out-channels 2 \
      in.f64 out.wav

Exit status: 0 on success, 2 on any error (one line on stderr; OUT is left
as it was).
)";

}  // namespace

int RunConvertTool(const std::vector<std::string>& args, std::istream& in, std::ostream& out,
                   std::ostream& err) {
  return RunReportingFailure("zel5-convert", err, [&] {
    const ArgList list = SplitArgs(args, ConvertOptionNames());
    if (list.help) {
      out << kUsage;
      return;
    }
    RunConvert(ParseConvertOptions(list), in, out);
  });
}

}  // namespace zel5::tools
