// The plug-in object: one object answering both host interfaces.
#pragma once

#include <cstdint>

#include "zel5/host_interfaces.h"

namespace zel5 {

class PluginModule;

inline constexpr const char* kPluginName = "Stream record filter";

class RecordFilter final : public FilterInterface, public StreamProcessor {
 public:
  explicit RecordFilter(PluginModule& module) : module_(module) {}

  // The module owns the object; a host destroying it frees nothing.
  void* DestructorSlot(std::uint32_t flags) override;
  std::uint32_t GetPluginId() override;
  std::uint32_t GetFlags() override;
  const char* GetName() override;
  const char* GetVersionText() override;
  StreamProcessor* GetProcessor(ProcessorRequest* request) override;
  void OnStreamClosed(std::uint32_t unused, HostStream* stream) override;
  void ProcessBuffer(HostStream* stream) override;
  void AuxiliaryCall(std::uint32_t unused) override;

 private:
  PluginModule& module_;
};

}  // namespace zel5
