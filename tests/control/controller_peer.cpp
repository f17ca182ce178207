// A controller in a process of its own, for the plug-in's tests:
//   zel5_controller_peer LIBRARY OUTPUT LOG
// fills its control block with the library, the output file and the test
// encoder's settings (provider 1, call log LOG), and asks for a recording.
// It prints "ready <window handle in hex>", then one line for each thing
// the plug-in does, in order, until it is killed:
//   announce <newStream>
//   post <message> <wParam> <state in the block>
#include <signal.h>
#include <sys/prctl.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "encoders/test_encoder/test_encoder_settings.h"
#include "link/controller_endpoint.h"

namespace {

using zel5::controller::EndpointLog;

void PrintLine(const std::string& line) {
  std::fputs((line + "\n").c_str(), stdout);
  std::fflush(stdout);
}

std::string Hex(std::uintptr_t value) {
  char text[32];
  std::snprintf(text, sizeof(text), "%llx", static_cast<unsigned long long>(value));
  return text;
}

}  // namespace

int main(int argc, char** argv) {
  // A test that dies leaves no peer behind, stopped or not.
  prctl(PR_SET_PDEATHSIG, SIGKILL);
  if (argc != 4) {
    std::fputs("usage: zel5_controller_peer LIBRARY OUTPUT LOG\n", stderr);
    return 64;
  }
  const auto endpoint = zel5::controller::ControllerEndpoint::Create();
  if (!endpoint) {
    return 2;
  }
  zel5::controller::SharedBlock& block = endpoint->Block();
  block.SetText(&ControlBlock::libraryPath, argv[1]);
  block.SetText(&ControlBlock::outputFile, argv[2]);
  block.SetEncoderSettings(zel5::test_encoder::ToBytes(
      zel5::test_encoder::MakeSettings(1, zel5::test_encoder::Behaviour::kSucceed, argv[3])));
  // Last: the plug-in may read the block at any moment.
  block.Store(&ControlBlock::command, ZEL5_COMMAND_START);
  PrintLine("ready " + Hex(reinterpret_cast<std::uintptr_t>(endpoint->Window())));
  std::size_t announced = 0;
  std::size_t posted = 0;
  for (;;) {
    endpoint->WaitFor([&](const EndpointLog& log) {
      return log.announcements.size() > announced || log.posts.size() > posted;
    });
    const EndpointLog log = endpoint->Log();
    for (; announced < log.announcements.size(); ++announced) {
      PrintLine("announce " + std::to_string(log.announcements[announced].record.newStream));
    }
    for (; posted < log.posts.size(); ++posted) {
      const zel5::controller::PostedMessage& post = log.posts[posted];
      PrintLine("post " + std::to_string(post.message) + " " + std::to_string(post.wParam) + " " +
                std::to_string(post.block.state));
    }
  }
}
