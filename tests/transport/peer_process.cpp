#include "transport/peer_process.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <stdexcept>

extern char** environ;

namespace zel5::transport::testing {

PeerProcess::PeerProcess(const std::vector<std::string>& arguments) {
  int toPeer[2];
  int fromPeer[2];
  if (pipe2(toPeer, O_CLOEXEC) != 0) {
    throw std::runtime_error("no pipe for the peer");
  }
  if (pipe2(fromPeer, O_CLOEXEC) != 0) {
    close(toPeer[0]);
    close(toPeer[1]);
    throw std::runtime_error("no pipe for the peer");
  }
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, toPeer[0], STDIN_FILENO);
  posix_spawn_file_actions_adddup2(&actions, fromPeer[1], STDOUT_FILENO);
  std::vector<char*> argv;
  for (const std::string& argument : arguments) {
    argv.push_back(const_cast<char*>(argument.c_str()));
  }
  argv.push_back(nullptr);
  const int failed = posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  close(toPeer[0]);
  close(fromPeer[1]);
  if (failed != 0) {
    close(toPeer[1]);
    close(fromPeer[0]);
    throw std::runtime_error("cannot start " + arguments[0]);
  }
  input_ = toPeer[1];
  output_ = fdopen(fromPeer[0], "r");
}

PeerProcess::~PeerProcess() {
  Kill();
  CloseInput();
  if (output_ != nullptr) {
    std::fclose(output_);
  }
}

std::string PeerProcess::ReadLine() {
  std::string line;
  for (int c = std::fgetc(output_); c != EOF && c != '\n'; c = std::fgetc(output_)) {
    line.push_back(static_cast<char>(c));
  }
  return line;
}

void PeerProcess::CloseInput() {
  if (input_ >= 0) {
    close(input_);
    input_ = -1;
  }
}

void PeerProcess::Pause() {
  kill(pid_, SIGSTOP);
  int status = 0;
  if (waitpid(pid_, &status, WUNTRACED) == pid_ && !WIFSTOPPED(status)) {
    reaped_ = true;
    exitCode_ = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
}

void PeerProcess::Resume() {
  kill(pid_, SIGCONT);
}

void PeerProcess::Kill() {
  // Once reaped, the id may already belong to another process.
  if (!reaped_) {
    kill(pid_, SIGKILL);
  }
  Wait();
}

int PeerProcess::Wait() {
  while (!reaped_) {
    int status = 0;
    const pid_t result = waitpid(pid_, &status, 0);
    if (result == pid_) {
      reaped_ = true;
      exitCode_ = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    } else if (result < 0 && errno != EINTR) {
      reaped_ = true;
    }
  }
  return exitCode_;
}

std::vector<std::string> PeerCommand(const std::vector<std::string>& modeAndArguments) {
  std::vector<std::string> command{ZEL5_TRANSPORT_PEER};
  command.insert(command.end(), modeAndArguments.begin(), modeAndArguments.end());
  return command;
}

bool RunningAsRoot() {
  return geteuid() == 0;
}

}  // namespace zel5::transport::testing
