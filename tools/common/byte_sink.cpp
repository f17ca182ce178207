#include "common/byte_sink.h"

#include <stdexcept>

#include "common/wav_writer.h"

namespace zel5::tools {
namespace {

// Checked after every write so that a full disk stops the run at once.
void CheckWritten(OutputFile& output) {
  if (!output.stream()) {
    throw std::runtime_error("cannot write " + output.name());
  }
}

class RawSink final : public ByteSink {
 public:
  explicit RawSink(OutputFile& output) : output_(output) {}

  void Write(std::span<const std::uint8_t> bytes) override {
    output_.stream().write(reinterpret_cast<const char*>(bytes.data()),
                           static_cast<std::streamsize>(bytes.size()));
    CheckWritten(output_);
  }
  void Finish() override {}

 private:
  OutputFile& output_;
};

class WavSink final : public ByteSink {
 public:
  WavSink(OutputFile& output, WavFormat format)
      : output_(output), writer_(output.stream(), output.name(), format) {
    CheckWritten(output_);
  }

  void Write(std::span<const std::uint8_t> bytes) override {
    writer_.Write(bytes);
    CheckWritten(output_);
  }
  void Finish() override {
    writer_.Finish();
    CheckWritten(output_);
  }

 private:
  OutputFile& output_;
  WavWriter writer_;
};

}  // namespace

std::unique_ptr<ByteSink> MakeRawSink(OutputFile& output) {
  return std::make_unique<RawSink>(output);
}

std::unique_ptr<ByteSink> MakeWavSink(OutputFile& output, WavFormat format) {
  return std::make_unique<WavSink>(output, format);
}

}  // namespace zel5::tools
