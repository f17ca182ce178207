// The other process of the transport tests. Its first argument picks what
// it stands for:
//   window               a plain window answering the messages of
//                        peer_protocol.h; prints its handle, runs until kQuit
//   controller LINKID    a controller endpoint; prints its handle, waits for
//                        MSG_LINK_CLOSED, then prints what it saw
//   memory               a readable page followed by an inaccessible one;
//                        prints the page's address and size, and at the end
//                        of its input the page's first bytes
//   open-as-nobody PID   drops to the unprivileged user when it is root and
//                        prints whether PID can be opened
#include <grp.h>
#include <signal.h>
#include <sys/mman.h>
#include <sys/prctl.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "link/controller_endpoint.h"
#include "platform/message_window.h"
#include "platform/process_memory.h"
#include "transport/peer_protocol.h"

namespace zel5::transport::testing {
namespace {

void PrintLine(const std::string& line) {
  std::fputs((line + "\n").c_str(), stdout);
  std::fflush(stdout);
}

std::string Hex(std::uintptr_t value) {
  char text[32];
  std::snprintf(text, sizeof(text), "%llx", static_cast<unsigned long long>(value));
  return text;
}

int RunWindow() {
  platform::MessageWindow* self = nullptr;
  std::uintptr_t next = 0;
  bool outOfOrder = false;
  std::uintptr_t late = 0;
  const auto window = platform::MessageWindow::Create(
      [&](std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) -> std::uintptr_t {
        switch (message) {
          case kEcho:
            return Echo(message, wParam, lParam);
          case kSequence:
            outOfOrder = outOfOrder || wParam != next;
            ++next;
            return 0;
          case kSequenceCount:
            return outOfOrder ? kOutOfOrder : next;
          case kLate:
            return ++late;
          case kLateCount:
            return late;
          case kWhoSent:
            return self->SenderProcessId();
          case kQuit:
            self->Stop();
            return 1;
          default:
            return 0;
        }
      });
  if (!window) {
    return 2;
  }
  self = window.get();
  PrintLine(Hex(reinterpret_cast<std::uintptr_t>(window->Handle())));
  window->Run();
  return 0;
}

int RunController(std::int32_t linkId) {
  const auto endpoint = controller::ControllerEndpoint::Create();
  if (!endpoint) {
    return 2;
  }
  endpoint->Block().Store(&ControlBlock::linkId, linkId);
  endpoint->Block().SetText(&ControlBlock::libraryPath, "peer-library");
  PrintLine(Hex(reinterpret_cast<std::uintptr_t>(endpoint->Window())));
  const bool closed = endpoint->WaitFor([](const controller::EndpointLog& log) {
    return !log.posts.empty() && log.posts.back().message == MSG_LINK_CLOSED;
  });
  const controller::EndpointLog log = endpoint->Log();
  for (const controller::Announcement& announcement : log.announcements) {
    const StreamAnnouncement& record = announcement.record;
    PrintLine("announce " + std::to_string(announcement.hostProcessId) + " " +
              std::to_string(record.format.nChannels) + " " +
              std::to_string(record.format.nSamplesPerSec) + " " +
              std::to_string(record.format.wBitsPerSample) + " " +
              std::to_string(record.newStream) + " " + record.hostPath);
  }
  for (const controller::PostedMessage& post : log.posts) {
    PrintLine("post " + std::to_string(post.message) + " " + std::to_string(post.wParam) + " " +
              std::to_string(post.block.state) + " " + std::to_string(post.block.counterA));
  }
  return closed ? 0 : 1;
}

int RunMemory() {
  const auto page = static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
  void* region =
      mmap(nullptr, 2 * page, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (region == MAP_FAILED) {
    return 2;
  }
  auto* bytes = static_cast<std::uint8_t*>(region);
  if (mprotect(bytes + page, page, PROT_NONE) != 0) {
    return 2;
  }
  for (std::size_t offset = 0; offset < page; ++offset) {
    bytes[offset] = Pattern(offset);
  }
  PrintLine(Hex(reinterpret_cast<std::uintptr_t>(bytes)) + " " + Hex(page));
  while (std::fgetc(stdin) != EOF) {
  }
  std::string dump;
  for (std::size_t offset = 0; offset < kDumpBytes; ++offset) {
    char text[4];
    std::snprintf(text, sizeof(text), "%02x", bytes[offset]);
    dump += text;
  }
  PrintLine(dump);
  return 0;
}

int RunOpenAsNobody(std::uint32_t processId) {
  constexpr uid_t kNobody = 65534;
  if (geteuid() == 0 &&
      (setgroups(0, nullptr) != 0 || setgid(kNobody) != 0 || setuid(kNobody) != 0)) {
    return 2;
  }
  PrintLine(platform::ProcessHandle::Open(processId) ? "opened" : "denied");
  return 0;
}

}  // namespace
}  // namespace zel5::transport::testing

int main(int argc, char** argv) {
  using namespace zel5::transport::testing;
  // A test that dies leaves no peer behind, stopped or not.
  prctl(PR_SET_PDEATHSIG, SIGKILL);
  const std::string mode = argc > 1 ? argv[1] : "";
  if (mode == "window") {
    return RunWindow();
  }
  if (mode == "controller" && argc > 2) {
    return RunController(static_cast<std::int32_t>(std::strtol(argv[2], nullptr, 10)));
  }
  if (mode == "memory") {
    return RunMemory();
  }
  if (mode == "open-as-nobody" && argc > 2) {
    return RunOpenAsNobody(static_cast<std::uint32_t>(std::strtoul(argv[2], nullptr, 10)));
  }
  std::fputs(
      "usage: zel5_transport_peer window | controller LINKID | memory | "
      "open-as-nobody PID\n",
      stderr);
  return 64;
}
