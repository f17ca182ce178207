#include "encoders/test_encoder/call_log.h"

#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>
#include <vector>

#include "encoders/test_encoder/test_encoder_settings.h"

namespace zel5::test_encoder {
namespace {

class CallLog {
 public:
  CallLog() {
    const char* path = std::getenv(kLogVariable);
    if (path != nullptr && path[0] != '\0') {
      path_ = path;
      mode_ = Mode::kWriting;
    }
  }

  // Static objects are destroyed when the library is unloaded.
  ~CallLog() { Append("Unload"); }

  CallLog(const CallLog&) = delete;
  CallLog& operator=(const CallLog&) = delete;

  void Append(std::string_view line) {
    // Calls come from one host thread at a time, but not always the same one.
    const std::lock_guard<std::mutex> lock(mutex_);
    switch (mode_) {
      case Mode::kWaiting:
        waiting_.emplace_back(line);
        break;
      case Mode::kWriting:
        Write(line);
        break;
      case Mode::kOff:
        break;
    }
  }

  void UsePath(std::string_view path) {
    const std::lock_guard<std::mutex> lock(mutex_);
    if (!path.empty()) {
      path_ = path;
      mode_ = Mode::kWriting;
      for (const std::string& line : waiting_) {
        Write(line);
      }
    } else if (mode_ == Mode::kWaiting) {
      mode_ = Mode::kOff;
    }
    waiting_.clear();
  }

 private:
  enum class Mode { kWaiting, kWriting, kOff };

  // Opened per line, so that every line is in the file when the call returns.
  void Write(std::string_view line) const {
    std::FILE* file = std::fopen(path_.c_str(), "ab");
    if (file == nullptr) {
      return;
    }
    std::fwrite(line.data(), 1, line.size(), file);
    std::fputc('\n', file);
    std::fclose(file);
  }

  std::mutex mutex_;
  Mode mode_ = Mode::kWaiting;
  std::string path_;
  std::vector<std::string> waiting_;
};

CallLog callLog;

}  // namespace

void LogCall(std::string_view line) {
  callLog.Append(line);
}

std::string Decimal(std::uint32_t value) {
  char text[16];
  std::snprintf(text, sizeof text, "%lu", static_cast<unsigned long>(value));
  return text;
}

void UseLogPath(std::string_view path) {
  callLog.UsePath(path);
}

}  // namespace zel5::test_encoder
