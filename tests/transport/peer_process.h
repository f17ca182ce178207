// A test program run as a separate process with its standard input and
// output piped to the test: started, paused, resumed and killed as the test
// needs. A process still running when the object goes is killed and reaped.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace zel5::transport::testing {

class PeerProcess {
 public:
  // Throws std::runtime_error when the program cannot be started.
  explicit PeerProcess(const std::vector<std::string>& arguments);
  ~PeerProcess();
  PeerProcess(const PeerProcess&) = delete;
  PeerProcess& operator=(const PeerProcess&) = delete;

  std::uint32_t Id() const { return static_cast<std::uint32_t>(pid_); }

  // The next line of its output without the newline; empty at its end.
  std::string ReadLine();
  // Its input reaches its end.
  void CloseInput();

  // SIGSTOP, returning once the process has stopped.
  void Pause();
  void Resume();
  // SIGKILL, returning once the process is gone and reaped.
  void Kill();
  // Its exit code once it has ended by itself; -1 when killed.
  int Wait();

 private:
  pid_t pid_ = -1;
  bool reaped_ = false;
  int exitCode_ = -1;
  int input_ = -1;
  FILE* output_ = nullptr;
};

// The peer program (built beside the tests).
std::vector<std::string> PeerCommand(const std::vector<std::string>& modeAndArguments);

bool RunningAsRoot();

}  // namespace zel5::transport::testing
