// One conversion from IN to OUT, once the command line has been read.
#pragma once

#include <istream>
#include <ostream>

#include "zel5-convert/convert_options.h"

namespace zel5::tools {

// Streams IN block by block through the chosen stage into OUT ("-" being
// these streams). Throws std::runtime_error on any failure, after which
// nothing is left under OUT's name that was not there before.
void RunConvert(const ConvertOptions& options, std::istream& standardInput,
                std::ostream& standardOutput);

}  // namespace zel5::tools
